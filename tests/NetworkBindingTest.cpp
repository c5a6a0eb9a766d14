// Binding the network component: every entry point by name, offline without a component, and the stubs that end
// the game when a component lacks an entry point.
#include "GameFixture.h"
#include "frontend/Network.h"
#include "platform/System.h"
#include <cctype>

using NetworkBindingTest = GameFixture;

namespace {
template <typename Fn> Fn FakeSymbol(const char* library, const char* name) {
    return reinterpret_cast<Fn>(LibrarySymbol(OpenLibrary(library), name));
}
} // namespace

TEST_F(NetworkBindingTest, MissingComponentRunsOfflineAndSyncEndsAtOnce) {
    EXPECT_FALSE(Network::BindNetworkComponent("libno_such_component.so"));
    EXPECT_FALSE(Network::ComponentLoaded());
    Network::ConfigureNetworkComponent();
    Network::Send(1, "Kestrovar_scores.php?option=getscore&nbscore=10", 1, 0);
    Network::Update();
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 0);
    EXPECT_EQ(Network::Receive(1), 0);
    EXPECT_EQ(Network::GetState(), 0);
    EXPECT_EQ(Network::GetNbOfLines(), 0);
    EXPECT_EQ(Network::GetResult(1), "");
}

TEST_F(NetworkBindingTest, WholeComponentBindsAllThirteenAndGetsServerAndKey) {
    ASSERT_TRUE(Network::BindNetworkComponent("libfake_net_whole.so"));
    EXPECT_EQ(Network::BoundSlots(), Network::SlotCount);
    Network::ConfigureNetworkComponent();
    // The score server's default address and the game's key, as the component was handed them.
    EXPECT_STREQ(FakeSymbol<const char* (*)()>("libfake_net_whole.so", "FakeNet_Server")(), "http://127.0.0.1:8642/");
    EXPECT_STREQ(FakeSymbol<const char* (*)()>("libfake_net_whole.so", "FakeNet_Key")(), "K7r4vQ2x9Lm3Tb8");

    Network::Send(1, "VersionCheck.php?option=getversion&nbscore=30", 1, 0);
    EXPECT_EQ(FakeSymbol<int (*)()>("libfake_net_whole.so", "FakeNet_QueryCount")(), 1);
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 1);
    Network::Update();
    EXPECT_EQ(Network::GetNumberOfCommandsInQueue(), 0);
    EXPECT_NE(Network::Receive(1), 0);
    EXPECT_EQ(Network::GetState(), 2);
    EXPECT_EQ(Network::GetNbOfLines(), 2);
    EXPECT_EQ(Network::GetResult(2), "second line");
    Network::SetKeySend("x"); // the oddly named entry point is found too
}

TEST_F(NetworkBindingTest, EntryPointMissingFromComponentEndsGameWhenCalled) {
    ASSERT_TRUE(Network::BindNetworkComponent("libfake_net_partial.so"));
    EXPECT_EQ(Network::BoundSlots(), Network::SlotCount - 5);
    Network::ConfigureNetworkComponent(); // SetServer and SetKey are there
    EXPECT_EQ(Network::Receive(1), 1);
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(Network::GetState(), Headless::ProgramEnded);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Attempt to call uninitialized function pointer\n");
}

TEST_F(NetworkBindingTest, UnboundSlotsBeforeBindingEndTheGame) {
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(Network::Update(), Headless::ProgramEnded);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Attempt to call uninitialized function pointer\n");
}

TEST_F(NetworkBindingTest, EntryPointNamesAsTheComponentExportsThem) {
    EXPECT_STREQ(Network::EntryPointNames[0], "TESSIK__SetServer");
    EXPECT_STREQ(Network::EntryPointNames[3], "TESSIK_)SetKeySend");
    EXPECT_STREQ(Network::EntryPointNames[7], "TESSIK_GetNumberOfCommandsInQueue");
    EXPECT_STREQ(Network::EntryPointNames[12], "TESSIK_GetNbOfLines");
}
