// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menueimpl.h"

#include "menu/button.h"
#include "engine/config.h"
#include "resources/fontwriter.h"
#include "menu/menue.h"

MenueImpl::~MenueImpl() = default;

void MenueImpl::start(Menue*) {}

void MenueImpl::stop() {}

void MenueImpl::update() {}

void MenueImpl::stopAll(Widgets& widgets)
{
    for (const std::unique_ptr<MenueItem>& widget : widgets)
        widget->stop();
    widgets.clear();
}

void MenueImpl::updateAll(const Widgets& widgets)
{
    for (const std::unique_ptr<MenueItem>& widget : widgets)
        widget->update();
}

std::vector<MenueItem*> MenueImpl::buttonsOf(const Widgets& widgets)
{
    std::vector<MenueItem*> buttons;
    for (const std::unique_ptr<MenueItem>& widget : widgets)
        buttons.push_back(widget.get());
    return buttons;
}

ActionListener* MenueImpl::listenerOf(Menue* menue)
{
    return static_cast<ActionListener*>(menue);
}

void MenueImpl::addMenueButton(Widgets& widgets, const Point2D& position, const std::string& text,
                               ActionListener* listener, const std::string& command)
{
    auto button = std::make_unique<Button>();
    Button& added = *button;
    widgets.push_back(std::move(button));
    added.start(position, Point2D(256, 37), text, clickSoundFile, hoverSoundFile);
    added.setActionListener(listener, "Menue", command);
}

void MenueImpl::writeTitleAndLines(const char* title, std::span<const TextLine> lines)
{
    constexpr int32_t textLeft = 100;
    FontWriter& writer = FontWriter::getInstance();
    writer.selectFont(3);
    writer.write2D(title, textLeft, Config::get("window_height") - 120);
    writer.selectFont(2);
    for (const TextLine& line : lines)
        writer.write2D(line.text, textLeft, Config::get("window_height") - line.belowTop);
}
