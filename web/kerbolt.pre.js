// SPDX-FileCopyrightText: 2026 the Kerbolt team
// SPDX-License-Identifier: GPL-3.0-or-later

// Runs inside the game's script, before the game starts. Builds the player's
// folder as the desktop launcher does:
//   /shipped/resources   the shipped files (kerbolt.data)
//   /kerbolt             the working directory
//   /kerbolt/resources   the player's savegame, and links to every shipped entry
// The game writes the savegame there exactly as on the desktop (a temporary
// file renamed over it); after each save the page stores it in the browser's
// IndexedDB (see platform_web.cpp), so medals survive a reload and a closed
// tab, and reads it back at the next start.

var kerboltShipped = '/shipped/resources';
var kerboltFolder = '/kerbolt/resources';

Module.kerboltFrames = 0;

// The stored savegame lives in IndexedDB, in the database and store that
// IDBFS used in earlier versions of this page and in its record layout, so
// that medals won with them are read. Records:
//   <folder>/savegame          the savegame as of the last start of a page
//   <folder>/savegame.<page>   the savegame this page (one load of it) stored
// Each store puts this page's record alone, issued in the same moment as the
// game's save, so it commits even when the page is left right then, and no
// page ever overwrites what another stored. The stored medals are all those
// records merged (medals only rise); each start folds them into the first.
// The database is named after the folder, not after the page's address:
// every copy of the game on one site shares the medals.
var kerboltSavegame = kerboltFolder + '/savegame';
var kerboltPageRecord = kerboltSavegame + '.' + Date.now().toString(36) + Math.random().toString(36).slice(2);
var kerboltDatabaseName = kerboltFolder;
var kerboltDatabaseVersion = 21;
var kerboltStoreName = 'FILE_DATA';
var kerboltDatabase = null;  // the open connection, kept for the next store
var kerboltStoresUnderWay = 0;
var kerboltWaitingForStores = [];

// Medals only rise: entry by entry, the higher of two savegames, written as
// the game writes it (a word that is not a number counts as 0).
function kerboltMergeMedals(one, other) {
  function entries(text) {
    return text.split(/[ \t\n\v\f\r]+/).filter(function (word) { return word !== ''; }).map(function (word) {
      return /^[+-]?[0-9]+$/.test(word) ? parseInt(word, 10) | 0 : 0;
    });
  }
  var a = entries(one), b = entries(other), merged = '';
  for (var i = 0; i < Math.max(a.length, b.length); ++i)
    merged += Math.max(i < a.length ? a[i] : 0, i < b.length ? b[i] : 0) + ' ';
  return merged;
}

function kerboltRecordText(record) {
  if (!record || !record.contents) return '';
  return Array.prototype.map.call(record.contents, function (c) { return String.fromCharCode(c); }).join('');
}

// The keys of the savegame's records.
function kerboltRecordKeys() {
  return IDBKeyRange.bound(kerboltSavegame, kerboltSavegame + '.\uffff');
}

// All stored records merged, or null when there are none (a first visit).
function kerboltRecordsMerged(records) {
  return records.length ? records.map(kerboltRecordText).reduce(kerboltMergeMedals) : null;
}

function kerboltRecord(text) {
  var contents = new Uint8Array(text.length);
  for (var i = 0; i < text.length; ++i) contents[i] = text.charCodeAt(i);
  return { timestamp: new Date(), mode: 33188 /* a regular file, rw-r--r-- */, contents: contents };
}

function kerboltReason(error) {
  return error && error.name ? error.name + (error.message ? ': ' + error.message : '') : String(error);
}

// Tells the page (and the console) how the medals' storage stands: a line
// when reading or storing failed, null once a store has succeeded.
function kerboltStorageProblem(what, error) {
  var line = what + kerboltReason(error);
  console.error(line);
  if (Module.kerboltStorage) Module.kerboltStorage(line);
}

// Answers the open database, opening it when there is none (the first visit
// makes the store as IDBFS did, with the index that it reads by).
function kerboltOpenDatabase(done) {
  if (kerboltDatabase) return done(null, kerboltDatabase);
  var request;
  try {
    request = indexedDB.open(kerboltDatabaseName, kerboltDatabaseVersion);
  } catch (error) {
    return done(error);
  }
  request.onupgradeneeded = function () {
    var database = request.result;
    var store = database.objectStoreNames.contains(kerboltStoreName) ?
        request.transaction.objectStore(kerboltStoreName) : database.createObjectStore(kerboltStoreName);
    if (!store.indexNames.contains('timestamp')) store.createIndex('timestamp', 'timestamp', { unique: false });
  };
  request.onsuccess = function () {
    var database = request.result;
    // A newer page's upgrade, or the browser closing it: the next store opens it anew.
    database.onversionchange = database.onclose = function () {
      database.close();
      if (kerboltDatabase === database) kerboltDatabase = null;
    };
    kerboltDatabase = database;
    done(null, database);
  };
  request.onerror = function (event) {
    event.preventDefault();
    done(request.error);
  };
}

// Runs one transaction on the store: `requests` issues its requests at once
// (in this very moment, when the database is open), and done(error) follows
// the transaction's end: null only on 'complete'. With `commitAtOnce`, those
// are all its requests, and the browser commits without waiting for this
// page, which may be busy drawing, or leaving.
function kerboltTransaction(commitAtOnce, requests, done) {
  kerboltOpenDatabase(function (error, database) {
    if (error) return done(error);
    var transaction, thrown = null;
    try {
      // strict: 'complete' comes once the records are on the disk.
      transaction = database.transaction([kerboltStoreName], 'readwrite', { durability: 'strict' });
    } catch (error) {
      return done(error);
    }
    transaction.oncomplete = function () { done(null); };
    transaction.onabort = function () {
      done(thrown || transaction.error || new DOMException('the browser ended the transaction', 'AbortError'));
    };
    try {
      requests(transaction.objectStore(kerboltStoreName));
      if (commitAtOnce && transaction.commit) transaction.commit();
    } catch (error) {
      // Ended by the browser already, or now: either way its abort tells.
      if (error.name !== 'InvalidStateError' && error.name !== 'TransactionInactiveError') thrown = error;
      try { transaction.abort(); } catch (finished) { /* it has ended */ }
    }
  });
}

// At start: the stored records merged into the first one, the others
// removed; done(error, savegame or null on a first visit).
function kerboltGatherSavegame(done) {
  var merged = null;
  kerboltTransaction(false, function (store) {
    var records = store.getAll(kerboltRecordKeys()), keys = store.getAllKeys(kerboltRecordKeys());
    keys.onsuccess = function () {  // after the records' own success
      merged = kerboltRecordsMerged(records.result);
      if (merged === null) return;
      store.put(kerboltRecord(merged), kerboltSavegame);
      keys.result.forEach(function (key) { if (key !== kerboltSavegame) store.delete(key); });
    };
  }, function (error) {
    done(error, merged);
  });
}

// Brings the game's file up to the stored medals (never down): another tab
// may have stored some while this one played.
function kerboltKeepInFile(stored) {
  if (stored === null) return;
  var now;
  try {
    now = FS.readFile(kerboltSavegame, { encoding: 'utf8' });
  } catch (error) {
    return;  // no savegame in the folder now: the game has none to read either
  }
  var merged = kerboltMergeMedals(now, stored);
  if (merged !== now) FS.writeFile(kerboltSavegame, merged);
}

// Stores the game's savegame as this page's record; the same transaction
// reads the other records, so the game's file gains the medals that other
// tabs stored meanwhile. Called right after each save.
Module.kerboltStoreSavegame = function () {
  var records;
  ++kerboltStoresUnderWay;
  kerboltTransaction(true, function (store) {
    records = store.getAll(kerboltRecordKeys());
    store.put(kerboltRecord(FS.readFile(kerboltSavegame, { encoding: 'utf8' })), kerboltPageRecord);
  }, function (error) {
    try {
      if (error) {
        kerboltStorageProblem('Your medals could not be stored in this browser: ', error);
      } else {
        kerboltKeepInFile(kerboltRecordsMerged(records.result));
        if (Module.kerboltStorage) Module.kerboltStorage(null);
      }
    } finally {
      if (--kerboltStoresUnderWay === 0)
        kerboltWaitingForStores.splice(0).forEach(function (then) { then(); });
    }
  });
};

// Whether a store has not ended yet: the page holds its unload meanwhile.
Module.kerboltStoring = function () {
  return kerboltStoresUnderWay > 0;
};

// Calls `then` once no store is under way (at once when none is).
Module.kerboltWhenStored = function (then) {
  if (kerboltStoresUnderWay === 0) then();
  else kerboltWaitingForStores.push(then);
};

Module.preRun = [].concat(Module.preRun || [], function () {
  FS.mkdir('/kerbolt');
  FS.mkdir(kerboltFolder);
  addRunDependency('kerbolt-savegame');
  kerboltGatherSavegame(function (error, savegame) {
    if (error) kerboltStorageProblem('Your stored medals could not be read in this browser: ', error);
    // Read, even if they could not be folded together.
    if (savegame !== null) FS.writeFile(kerboltSavegame, savegame);
    removeRunDependency('kerbolt-savegame');
  });
});

// The shipped files have arrived by now.
Module.onRuntimeInitialized = function () {
  FS.readdir(kerboltShipped).forEach(function (name) {
    if (name === '.' || name === '..' || FS.analyzePath(PATH.join2(kerboltFolder, name)).exists) return;
    FS.symlink(PATH.join2(kerboltShipped, name), PATH.join2(kerboltFolder, name));
  });
  // The first visit starts with the shipped savegame: no medals.
  if (!FS.analyzePath(kerboltSavegame).exists)
    FS.writeFile(kerboltSavegame, FS.readFile(PATH.join2(kerboltShipped, 'savegame.default')));
  FS.chdir('/kerbolt');
};
