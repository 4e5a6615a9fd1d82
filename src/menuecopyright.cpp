#include "menuecopyright.h"

#include "config.h"
#include "fontwriter.h"
#include "menuemain.h"

namespace {

constexpr int32_t textLeft = 100;

// A credit line and how far below the window's top edge its glyphs begin.
// Short enough to end left of the buttons in an 800 wide window.
struct TextLine {
    const char* text;
    int32_t belowTop;
};

constexpr TextLine credits[] = {
    {"All work done by the Kerbolt team.", 200},
    {"The README file tells you more.", 220},
    {"Greetings to everyone who plays it!", 240},
    {"Copyright (c) 2008 the Kerbolt team", 260},
    {"Send comments to our issue tracker.", 300},
};

} // namespace

void MenueCopyright::start(Menue* menue)
{
    MenueMain::addMainButtons(items, listenerOf(menue));
}

void MenueCopyright::stop()
{
    stopAll(items);
}

void MenueCopyright::update()
{
    updateAll(items);
    FontWriter& writer = FontWriter::getInstance();
    writer.selectFont(3);
    writer.write2D("the Copyrights", textLeft, Config::get("window_height") - 120);
    writer.selectFont(2);
    for (const TextLine& line : credits)
        writer.write2D(line.text, textLeft, Config::get("window_height") - line.belowTop);
}
