#include "input.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Queues an event: a key with its character, a mouse button (pressed at
// 5, 6), or pointer motion to (a, b).
void push(Uint8 type, int a, int b = 0)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = static_cast<SDLKey>(a);
        event.key.keysym.unicode = static_cast<Uint16>(b);
    } else if (type == SDL_MOUSEMOTION) {
        event.motion.x = static_cast<Uint16>(a);
        event.motion.y = static_cast<Uint16>(b);
    } else {
        event.button = {type, 0, static_cast<Uint8>(a), 0, 5, 6};
    }
    ASSERT_EQ(0, SDL_PushEvent(&event));
}

// Input is one object for the whole program: every test starts with no key,
// no button and no wheel flag.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        input.update();
        for (const KeyRecord& key : std::vector(input.getKeys()))
            push(SDL_KEYUP, key.sym);
        for (const Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT})
            push(SDL_MOUSEBUTTONUP, button);
        input.update();
        input.resetWheelUp();
        input.resetWheelDown();
    }

    std::vector<int32_t> held() const
    {
        std::vector<int32_t> syms;
        for (const KeyRecord& key : input.getKeys())
            syms.push_back(key.sym);
        return syms;
    }

    Input& input = Input::getInstance();
};

TEST_F(InputTest, KeysStayInPressOrderAReleaseMovesTheNewestIntoItsGapAndQuitIsEscape)
{
    push(SDL_KEYUP, SDLK_q); // not held, on an empty list: nothing changes
    push(SDL_KEYDOWN, SDLK_a, 'a');
    push(SDL_KEYDOWN, SDLK_SPACE, ' ');
    push(SDL_KEYUP, SDLK_z);
    input.update();
    EXPECT_EQ((std::vector<int32_t>{SDLK_a, SDLK_SPACE}), held());
    EXPECT_EQ(' ', input.getKeys()[1].unicode);
    EXPECT_TRUE(input.isKeyHeld(SDLK_SPACE) && !input.isKeyHeld(SDLK_q));

    push(SDL_KEYDOWN, SDLK_b);
    push(SDL_KEYDOWN, SDLK_b);
    push(SDL_KEYDOWN, SDLK_c);
    push(SDL_KEYUP, SDLK_a);
    input.update();
    EXPECT_EQ((std::vector<int32_t>{SDLK_c, SDLK_SPACE, SDLK_b, SDLK_b}), held());
    push(SDL_KEYUP, SDLK_b); // one release removes one record
    push(SDL_QUIT, 0);       // becomes a held Escape in the same update
    input.update();
    EXPECT_EQ((std::vector<int32_t>{SDLK_c, SDLK_SPACE, SDLK_b, 27}), held());
    EXPECT_EQ(27, input.getKeys()[3].unicode);
    input.update();
    EXPECT_TRUE(input.isKeyHeld(Input::escapeSym)); // no key-up ever removes it by itself
}

TEST_F(InputTest, MotionMovesThePointerButtonsAreHeldAndWheelFlagsStayUntilReset)
{
    const auto state = [this] {
        return std::vector{input.getMouseX(),      input.getMouseY(),  input.getLeftButton(), input.getMiddleButton(),
                           input.getRightButton(), input.getWheelUp(), input.getWheelDown()};
    };
    push(SDL_MOUSEMOTION, 600, 470);
    push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELUP);
    push(SDL_MOUSEBUTTONUP, SDL_BUTTON_WHEELUP);
    input.update();
    EXPECT_EQ((std::vector{600, 470, 1, 0, 1, 1, 0}), state());

    push(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELDOWN);
    input.update();
    EXPECT_EQ((std::vector{600, 470, 0, 1, 1, 1, 1}), state());
    input.resetWheelUp();
    EXPECT_EQ((std::vector{600, 470, 0, 1, 1, 0, 1}), state());
    input.resetWheelDown();
    EXPECT_EQ(0, input.getWheelDown());
}

} // namespace
