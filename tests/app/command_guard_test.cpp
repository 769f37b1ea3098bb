#include "app/command_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/workspace.h"
#include "support/reentrant_interaction.h"
#include "support/scripted_interaction.h"

namespace toravel {
namespace {

using testing::ScriptedInteraction;

TEST(CommandGuardTest, OnlyOneCommandAtATime) {
    CommandGuard guard;
    EXPECT_FALSE(guard.busy());
    ASSERT_TRUE(guard.TryEnter());
    EXPECT_TRUE(guard.busy());
    EXPECT_FALSE(guard.TryEnter());
    EXPECT_TRUE(guard.busy());
    guard.Leave();
    EXPECT_FALSE(guard.busy());
    EXPECT_TRUE(guard.TryEnter());
}

TEST(CommandGuardTest, RefusedScopeDoesNotReleaseTheRunningCommand) {
    CommandGuard guard;
    {
        CommandGuard::Scope outer(guard);
        ASSERT_TRUE(outer.entered());
        {
            CommandGuard::Scope inner(guard);
            EXPECT_FALSE(inner.entered());
        }
        EXPECT_TRUE(guard.busy());
    }
    EXPECT_FALSE(guard.busy());
}

TEST(CommandGuardTest, ScopeLeavesWhenTheCommandThrows) {
    CommandGuard guard;
    try {
        CommandGuard::Scope scope(guard);
        throw std::runtime_error("command failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(guard.busy());
}

// A question's nested message handling delivers another menu command; the dispatcher must
// refuse it, and the first command must then finish as if nothing had happened.
TEST(CommandGuardTest, CommandArrivingWhileAQuestionIsOpenIsRefused) {
    CommandGuard guard;
    Workspace ws;
    ws.primaryNodes.resize(1);
    ws.primaryNodes[0].name = "old";
    ws.primariesSaved = true;
    NodeList reference(1);
    reference[0].name = "new";
    NodeList other(1);
    other[0].name = "other";

    testing::Reentrant<ScriptedInteraction> ui;
    int dispatched = 0;
    int refused = 0;
    auto dispatch = [&](const std::function<void()>& command) {
        CommandGuard::Scope scope(guard);
        if (!scope.entered()) {
            ++refused;
            return;
        }
        ++dispatched;
        command();
    };
    ui.duringQuestion = [&] { dispatch([&] { SetPrimaryNodes(ws, other, "other.x", ui, {}); }); };
    ui.ExpectYesNo("The current primary node set will be cleared.\nContinue?",
                   "Clear Current Data?", true, true);

    dispatch([&] { SetPrimaryNodes(ws, reference, "ref.smd", ui, {}); });

    EXPECT_EQ(dispatched, 1);
    EXPECT_EQ(refused, 1);
    EXPECT_FALSE(guard.busy());
    ASSERT_EQ(ws.primaryNodes.size(), 1u);
    EXPECT_EQ(ws.primaryNodes[0].name, "new");
    EXPECT_EQ(ws.primarySource, "ref.smd");
}

}  // namespace
}  // namespace toravel
