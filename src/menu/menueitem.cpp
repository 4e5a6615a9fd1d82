// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menueitem.h"

#include "menu/actionlistener.h"
#include "engine/config.h"
#include "resources/fontwriter.h"
#include "engine/input.h"
#include "resources/resourcemanager.h"
#include "resources/sound.h"
#include "resources/texture2d.h"

#include <GL/gl.h>
#include <SDL/SDL_mixer.h>

namespace {

Point2D makePoint(float x, float y)
{
    Point2D point;
    point.set(x, y);
    return point;
}

} // namespace

MenueItem::~MenueItem() = default;

void MenueItem::start(const Point2D& newPosition, const Point2D& newSize)
{
    position = newPosition;
    size = newSize;
    box = std::make_unique<BoundingBox2D>(makePoint(position.x, position.x + size.x),
                                          makePoint(position.y + size.y, position.y));
    gui = Held<Texture2D>(guiTextureFile);
}

void MenueItem::update() {}

void MenueItem::stop()
{
    box.reset();
    gui.reset();
    pressed = false;
    hovered = false;
    highlighted = false;
    pointerCounts = true;
}

void MenueItem::setActionListener(ActionListener* newListener, const std::string& newSender,
                                  const std::string& newCommand)
{
    listener = newListener;
    sender = newSender;
    command = newCommand;
}

Point2D MenueItem::getPosition() const
{
    return position;
}

Point2D MenueItem::getSize() const
{
    return size;
}

void MenueItem::press()
{
    sendAction();
}

void MenueItem::setHighlight(bool isHighlighted, bool doesPointerCount)
{
    highlighted = isHighlighted;
    pointerCounts = doesPointerCount;
}

void MenueItem::play(const Sound* sound)
{
    if (sound == nullptr)
        return;
    if (Mix_Chunk* chunk = sound->getChunk())
        Mix_PlayChannel(-1, chunk, 0);
}

void MenueItem::handlePointer(bool over, bool isLit, const Sound* hoverSound)
{
    const bool buttonDown = Input::getInstance().getLeftButton() != 0;
    if (isLit && !hovered)
        play(hoverSound);
    hovered = isLit;
    if (over) {
        if (pressed && !buttonDown)
            press();
        if (buttonDown)
            pressed = true;
    }
    // A release anywhere ends the press, so it can neither click twice nor
    // arm the widget for a later visit with the button up.
    if (!buttonDown)
        pressed = false;
}

void MenueItem::writeCaption(const std::string& caption, float x, float y, bool over)
{
    FontWriter& writer = FontWriter::getInstance();
    writer.setHighlight(over);
    writer.write2D(caption, static_cast<int32_t>(x), static_cast<int32_t>(y));
    writer.setHighlight(false);
}

bool MenueItem::pointerOver() const
{
    if (!box || !pointerCounts)
        return false;
    const Input& input = Input::getInstance();
    const int32_t windowHeight = Config::get("window_height");
    return box->contains(makePoint(static_cast<float>(input.getMouseX()),
                                   static_cast<float>(windowHeight - input.getMouseY())));
}

void MenueItem::sendAction()
{
    if (listener != nullptr)
        listener->actionPerformed(sender, command);
}

void MenueItem::beginDrawing(const Texture2D* texture) const
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(position.x, position.y, 0.0f);
    glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->getId() : 0);
    glEnable(GL_BLEND);
}

void MenueItem::drawQuad(const TexCorners& corners) const
{
    const Point2D vertices[] = {makePoint(0.0f, 0.0f), makePoint(size.x, 0.0f), makePoint(size.x, size.y),
                                makePoint(0.0f, size.y)};
    glBegin(GL_QUADS);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        glTexCoord2f(corners[i].u, corners[i].v);
        glVertex2f(vertices[i].x, vertices[i].y);
    }
    glEnd();
}
