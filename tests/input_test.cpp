#include "input.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void push(SDL_Event event)
{
    ASSERT_EQ(0, SDL_PushEvent(&event));
}

void pushKey(Uint8 type, SDLKey sym, Uint16 unicode = 0)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sym;
    event.key.keysym.unicode = unicode;
    push(event);
}

void pushButton(Uint8 type, Uint8 button)
{
    SDL_Event event{};
    event.type = type;
    event.button.type = type;
    event.button.button = button;
    event.button.x = 5;
    event.button.y = 6;
    push(event);
}

std::vector<int32_t> heldSyms()
{
    std::vector<int32_t> syms;
    for (const KeyRecord& key : Input::getInstance().getKeys())
        syms.push_back(key.sym);
    return syms;
}

// Input is one object for the whole program: every test starts with no key,
// no button and no wheel flag.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Input& input = Input::getInstance();
        input.update();
        while (!input.getKeys().empty()) {
            pushKey(SDL_KEYUP, static_cast<SDLKey>(input.getKeys().front().sym));
            input.update();
        }
        for (Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT})
            pushButton(SDL_MOUSEBUTTONUP, button);
        input.update();
        input.resetWheelUp();
        input.resetWheelDown();
    }

    Input& input = Input::getInstance();
};

TEST_F(InputTest, KeyDownRecordsSymAndUnicode)
{
    pushKey(SDL_KEYDOWN, SDLK_a, 'a');
    pushKey(SDL_KEYDOWN, SDLK_SPACE, ' ');
    input.update();
    ASSERT_EQ(2u, input.getKeys().size());
    EXPECT_EQ(SDLK_a, input.getKeys()[0].sym);
    EXPECT_EQ('a', input.getKeys()[0].unicode);
    EXPECT_EQ(SDLK_SPACE, input.getKeys()[1].sym);
    EXPECT_TRUE(input.isKeyHeld(SDLK_SPACE));
    EXPECT_FALSE(input.isKeyHeld(SDLK_b));
}

TEST_F(InputTest, ReleaseMovesTheNewestRecordIntoTheGap)
{
    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYDOWN, SDLK_b);
    pushKey(SDL_KEYUP, SDLK_a);
    input.update();
    EXPECT_EQ((std::vector<int32_t>{SDLK_b}), heldSyms());

    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYDOWN, SDLK_c);
    pushKey(SDL_KEYUP, SDLK_b);
    input.update();
    EXPECT_EQ((std::vector<int32_t>{SDLK_c, SDLK_a}), heldSyms());
}

TEST_F(InputTest, ReleasingAKeyThatIsNotHeldChangesNothing)
{
    pushKey(SDL_KEYUP, SDLK_q); // on an empty list
    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYUP, SDLK_z);
    input.update();
    EXPECT_EQ((std::vector<int32_t>{SDLK_a, SDLK_a}), heldSyms());

    pushKey(SDL_KEYUP, SDLK_a); // one release removes one record
    input.update();
    EXPECT_EQ((std::vector<int32_t>{SDLK_a}), heldSyms());
}

TEST_F(InputTest, QuitBecomesAHeldEscapeInTheSameUpdate)
{
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);
    input.update();
    ASSERT_EQ(1u, input.getKeys().size());
    EXPECT_EQ(27, input.getKeys()[0].sym);
    EXPECT_EQ(27, input.getKeys()[0].unicode);
    input.update();
    EXPECT_TRUE(input.isKeyHeld(Input::escapeSym)); // no key-up ever removes it by itself
}

TEST_F(InputTest, MouseMotionMovesThePointerButButtonEventsDoNot)
{
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 600;
    motion.motion.y = 470;
    push(motion);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    input.update();
    EXPECT_EQ(600, input.getMouseX());
    EXPECT_EQ(470, input.getMouseY());
    EXPECT_EQ(1, input.getLeftButton());
    EXPECT_EQ(0, input.getMiddleButton());
    EXPECT_EQ(1, input.getRightButton());

    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    input.update();
    EXPECT_EQ(0, input.getLeftButton());
    EXPECT_EQ(1, input.getMiddleButton());
    EXPECT_EQ(1, input.getRightButton());
}

TEST_F(InputTest, WheelFlagsStayUntilReset)
{
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELUP);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_WHEELUP);
    input.update();
    EXPECT_EQ(1, input.getWheelUp());
    EXPECT_EQ(0, input.getWheelDown());
    EXPECT_EQ(0, input.getLeftButton());

    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELDOWN);
    input.update();
    EXPECT_EQ(1, input.getWheelUp());
    EXPECT_EQ(1, input.getWheelDown());

    input.resetWheelUp();
    EXPECT_EQ(0, input.getWheelUp());
    EXPECT_EQ(1, input.getWheelDown());
    input.resetWheelDown();
    EXPECT_EQ(0, input.getWheelDown());
}

} // namespace
