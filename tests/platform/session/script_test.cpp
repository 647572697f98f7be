// The headless script parser: what each command expands to (the timings the runner plays), and
// the refusals, each naming its line. The fuzz target checks that any text parses safely; this
// pins what the commands mean.
#include "platform/session/script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/input.h"
#include "platform/core/platform.h"
#include "state/loop_state.h"

namespace {

using namespace std::string_literals;
using T = ScriptOpType;

struct Op {
    Op(ScriptOpType t, int x = 0, int y = 0, std::string s = {})
        : type(t), a(x), b(y), text(std::move(s)) {}
    ScriptOpType type;
    int a;
    int b;
    std::string text;
};

struct Expansion {
    const char* script;
    std::vector<Op> ops;
};
void PrintTo(const Expansion& c, std::ostream* out) { *out << '"' << c.script << '"'; }

// Scene names come from the game's hooks; the tests give the shell's own table.
class ScriptParse : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = InputHooks();
        GameHooks hooks = saved_;
        hooks.sceneByName = SceneByName;
        SetGameHooks(hooks);
    }
    void TearDown() override { SetGameHooks(saved_); }

private:
    GameHooks saved_;
};

class ScriptExpansion : public ScriptParse, public ::testing::WithParamInterface<Expansion> {};

TEST_P(ScriptExpansion, EachCommandGivesItsOperationsOnItsLine) {
    const Expansion& c = GetParam();
    std::vector<ScriptOp> ops;
    std::string error;
    ASSERT_TRUE(ParseScript(c.script, &ops, &error)) << error;
    ASSERT_EQ(ops.size(), c.ops.size()) << c.script;
    for (size_t i = 0; i < ops.size(); ++i) {
        SCOPED_TRACE(std::string(c.script) + ", operation " + std::to_string(i));
        EXPECT_EQ(ops[i].type, c.ops[i].type);
        EXPECT_EQ(ops[i].a, c.ops[i].a);
        EXPECT_EQ(ops[i].b, c.ops[i].b);
        EXPECT_EQ(ops[i].text, c.ops[i].text);
        EXPECT_EQ(ops[i].line, 2) << "every case stands on the script's second line";
    }
}

std::string Absolute(const char* path) { return std::filesystem::absolute(path).string(); }

INSTANTIATE_TEST_SUITE_P(
    Commands, ScriptExpansion,
    ::testing::Values(
        Expansion{"# a comment\nwait 250", {{T::Wait, 250}}},
        Expansion{"\n  until SCENE_MATCH", {{T::Until, SCENE_MATCH, 600000, "SCENE_MATCH"}}},
        Expansion{"\nuntil SCENE_RESULT 5000", {{T::Until, SCENE_RESULT, 5000, "SCENE_RESULT"}}},
        Expansion{"\nmove -3 480", {{T::Move, -3, 480}}},
        // A click holds the left button 60 ms.
        Expansion{"\nclick 10 20", {{T::Move, 10, 20}, {T::Down, 0, 0}, {T::Wait, 60}, {T::Up, 0}}},
        // A double click: a press and release 40 ms apart, then the press that is the double.
        Expansion{"\ndclick 1 2",
                  {{T::Move, 1, 2},
                   {T::Down, 0, 0},
                   {T::Wait, 40},
                   {T::Up, 0},
                   {T::Wait, 40},
                   {T::Down, 0, 1},
                   {T::Wait, 60},
                   {T::Up, 0}}},
        Expansion{"\ndown right", {{T::Down, 1, 0}}},
        Expansion{"\nup left  # released", {{T::Up, 0}}},
        Expansion{"\nkey F1 down", {{T::Key, VK_F1, 1}}},
        Expansion{"\nkey ESC up", {{T::Key, VK_ESCAPE, 0}}},
        // A press holds the key 100 ms unless told otherwise.
        Expansion{"\npress Z", {{T::Key, 'Z', 1}, {T::Wait, 100}, {T::Key, 'Z', 0}}},
        Expansion{"\npress 7 0", {{T::Key, '7', 1}, {T::Wait, 0}, {T::Key, '7', 0}}},
        // A file is the rest of the line, spaces inside kept, made absolute.
        Expansion{"\nshot  my shots/a b.png  ", {{T::Shot, 0, 0, Absolute("my shots/a b.png")}}},
        Expansion{"\ndump /tmp/state.json", {{T::Dump, 0, 0, "/tmp/state.json"}}},
        Expansion{"\nquit", {{T::Quit}}}));

struct Refusal {
    std::string script;
    std::string error;
};
void PrintTo(const Refusal& c, std::ostream* out) { *out << '"' << c.script << '"'; }

class ScriptRefusal : public ScriptParse, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ScriptRefusal, NamesTheLineAndWhy) {
    const Refusal& c = GetParam();
    std::vector<ScriptOp> ops;
    std::string error;
    EXPECT_FALSE(ParseScript(c.script, &ops, &error));
    EXPECT_EQ(error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ScriptRefusal,
    ::testing::Values(
        Refusal{"wait 1\nwait -1", "script line 2: expected: wait MS: wait -1"},
        Refusal{"wait 99999999999", "script line 1: expected: wait MS: wait 99999999999"},
        Refusal{"until SCENE_NOWHERE",
                "script line 1: unknown scene SCENE_NOWHERE: until SCENE_NOWHERE"},
        Refusal{"until SCENE_TITLE 10 20",
                "script line 1: expected: until SCENE_NAME [MAXMS]: until SCENE_TITLE 10 20"},
        Refusal{"until SCENE_TITLE -5", "script line 1: bad MAXMS: until SCENE_TITLE -5"},
        Refusal{"click 1", "script line 1: expected: click X Y: click 1"},
        Refusal{"dclick 1 y", "script line 1: expected: dclick X Y: dclick 1 y"},
        Refusal{"down middle", "script line 1: expected: down left|right: down middle"},
        Refusal{"key X down", "script line 1: expected: key NAME down|up: key X down"},
        Refusal{"key Z sideways", "script line 1: expected: key NAME down|up: key Z sideways"},
        Refusal{"press Z -1", "script line 1: expected: press NAME [MS]: press Z -1"},
        Refusal{"shot   # no file", "script line 1: expected: shot FILE: shot   # no file"},
        Refusal{"quit now", "script line 1: expected: quit: quit now"},
        Refusal{"\n\njump 1 2", "script line 3: unknown command: jump 1 2"},
        // A NUL byte would cut a name short where the runner passes it on.
        Refusal{"wait 1\0"s, "script line 1: a NUL byte in the line: wait 1\0"s}));

}  // namespace
