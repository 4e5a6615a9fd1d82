// SPDX-FileCopyrightText: 2026 the Kerbolt team
// SPDX-License-Identifier: GPL-3.0-or-later

// Runs inside the game's script, before the game starts. Builds the player's
// folder as the desktop launcher does:
//   /shipped/resources   the shipped files (kerbolt.data)
//   /kerbolt             the working directory
//   /kerbolt/resources   kept in the browser's IndexedDB (IDBFS): the
//                        player's savegame, and links to every shipped entry
// The game writes the savegame there exactly as on the desktop (a temporary
// file renamed over it); after each save the folder is stored (see
// platform_web.cpp), so medals survive a reload and a closed tab.

var kerboltShipped = '/shipped/resources';
var kerboltFolder = '/kerbolt/resources';

Module.kerboltFrames = 0;

// The folder's own files, without the links to the shipped ones: those are
// made anew at each start and are never stored.
function kerboltOwnFiles() {
  var entries = {};
  var check = [kerboltFolder];
  while (check.length) {
    var folder = check.pop();
    FS.readdir(folder).forEach(function (name) {
      if (name === '.' || name === '..') return;
      var path = PATH.join2(folder, name);
      var stat = FS.lstat(path);
      if (FS.isLink(stat.mode)) return;
      if (FS.isDir(stat.mode)) check.push(path);
      entries[path] = { timestamp: stat.mtime };
    });
  }
  return { type: 'local', entries: entries };
}

// IDBFS's own sync walks links into the shipped files and would store all of
// them; this one takes the folder's own files only.
function kerboltSync(fromStorage, done) {
  var mount = { mountpoint: kerboltFolder };
  IDBFS.getRemoteSet(mount, function (error, stored) {
    if (error) return done(error);
    var own = kerboltOwnFiles();
    IDBFS.reconcile(fromStorage ? stored : own, fromStorage ? own : stored, done);
  });
}

Module.kerboltStoreSavegame = function () {
  kerboltSync(false, function (error) {
    if (error) console.error('The savegame could not be stored in the browser: ' + error);
  });
};

Module.preRun = [].concat(Module.preRun || [], function () {
  FS.mkdir('/kerbolt');
  FS.mkdir(kerboltFolder);
  FS.mount(IDBFS, {}, kerboltFolder);
  addRunDependency('kerbolt-savegame');
  kerboltSync(true, function (error) {
    if (error) console.error('The stored savegame could not be read: ' + error);
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
  var savegame = PATH.join2(kerboltFolder, 'savegame');
  if (!FS.analyzePath(savegame).exists)
    FS.writeFile(savegame, FS.readFile(PATH.join2(kerboltShipped, 'savegame.default')));
  FS.chdir('/kerbolt');
};
