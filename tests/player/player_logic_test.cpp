// The player's decisions: the drain against a scripted event queue, clamping, and the table of
// temporary files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/vemble.h"
#include "player/player_logic.h"

namespace {

// A scripted queue: hands out its codes in order, then answers E_ABORT, and records what the
// drain did with them.
struct FakeQueue {
    std::vector<long> codes;
    size_t next = 0;
    int gets = 0;
    std::vector<long> freed;
    int seeks = 0;
};

constexpr int32_t queue_empty = int32_t(0x80004004);

int32_t fake_get(void* c, long* code, intptr_t* p1, intptr_t* p2) {
    FakeQueue& q = *static_cast<FakeQueue*>(c);
    ++q.gets;
    if (q.next >= q.codes.size()) return queue_empty;
    *code = q.codes[q.next++];
    *p1 = intptr_t(q.next * 10);
    *p2 = intptr_t(q.next * 100);
    return 0;
}
void fake_free(void* c, long code, intptr_t p1, intptr_t p2) {
    FakeQueue& q = *static_cast<FakeQueue*>(c);
    // The parameters handed back are the ones just taken.
    EXPECT_EQ(p1, intptr_t(q.next * 10));
    EXPECT_EQ(p2, intptr_t(q.next * 100));
    q.freed.push_back(code);
}
void fake_seek(void* c) { ++static_cast<FakeQueue*>(c)->seeks; }

struct DrainCase {
    const char* name;
    NotifyMode mode;
    int looping;
    std::vector<long> codes;
    int seeks;
    int playing_after;
};

class Drain : public ::testing::TestWithParam<DrainCase> {};

TEST_P(Drain, TakesWholeQueueAndActsOnEachEndEventOnce) {
    const DrainCase& c = GetParam();
    FakeQueue q;
    q.codes = c.codes;
    int playing = 1;
    PlayerEventSource source = {&q, fake_get, fake_free, fake_seek};
    EXPECT_EQ(player_drain(source, c.mode, c.looping, &playing), queue_empty);
    EXPECT_EQ(q.gets, int(c.codes.size()) + 1);
    EXPECT_EQ(q.freed, c.codes);
    EXPECT_EQ(q.seeks, c.seeks);
    EXPECT_EQ(playing, c.playing_after);
}

const NotifyMode every = NotifyMode::every_start;
const NotifyMode only = NotifyMode::looping_only;

INSTANTIATE_TEST_SUITE_P(Table, Drain, ::testing::Values(
    DrainCase{"EmptyQueue", every, 0, {}, 0, 1},
    DrainCase{"CompleteEndsSinglePlayback", every, 0, {1}, 0, 0},
    DrainCase{"UserAbortEndsSinglePlayback", every, 0, {2}, 0, 0},
    DrainCase{"CompleteRestartsLoop", every, 1, {1}, 1, 1},
    DrainCase{"OtherCodesOnlyFreed", every, 0, {3, 0, 13, 0x53, -1}, 0, 1},
    DrainCase{"ThreeEventsOneEnd", every, 0, {0x0E, 1, 0x0D}, 0, 0},
    DrainCase{"TwoEndsInLoopSeekTwice", every, 1, {1, 5, 2}, 2, 1},
    DrainCase{"LoopingOnlySeeksEvenSingle", only, 0, {1}, 1, 1},
    DrainCase{"LoopingOnlyAbortSeeks", only, 1, {2, 2}, 2, 1},
    DrainCase{"LoopingOnlyOtherCodes", only, 1, {4, 6}, 0, 1}),
    [](const ::testing::TestParamInfo<DrainCase>& i) { return std::string(i.param.name); });

TEST(PlayerWindow, RegisteredEveryStartUnderEveryStartButOnlyForLoopsUnderLoopingOnly) {
    EXPECT_TRUE(player_registers_window(every, 0));
    EXPECT_TRUE(player_registers_window(every, 1));
    EXPECT_FALSE(player_registers_window(only, 0));
    EXPECT_TRUE(player_registers_window(only, 1));
}

TEST(PlayerVolume, ClampsToMinusTenThousandAndZero) {
    const int32_t cases[][2] = {{250, 0},          {0, 0},        {-1, -1},  {-1000, -1000},
                                {-10000, -10000}, {-10001, -10000}, {-20000, -10000},
                                {INT32_MIN, -10000}, {INT32_MAX, 0}};
    for (const auto& c : cases) EXPECT_EQ(vemble_clamp_attenuation(c[0]), c[1]) << c[0];
}

TEST(PlayerTempFolder, LeavesRoomForTheWholeName) {
    // The name adds "Res", four hex digits and ".tmp" (11) and the terminator to the folder.
    EXPECT_FALSE(player_temp_folder_fits(0));
    EXPECT_TRUE(player_temp_folder_fits(1));
    EXPECT_TRUE(player_temp_folder_fits(244));
    EXPECT_FALSE(player_temp_folder_fits(245));
    EXPECT_FALSE(player_temp_folder_fits(257));  // GetTempPathA's answer when 256 was too small
}

std::vector<std::string> removed_names;
void record_remove(const char* name) { removed_names.push_back(name); }

TEST(PlayerTempFiles, TwentyFourSlotsThenRefused) {
    static PlayerTempFiles table;
    for (int i = 0; i < player_temp_slots; ++i) {
        char* slot = player_temp_reserve(table);
        ASSERT_NE(slot, nullptr) << i;
        EXPECT_EQ(slot, table.names[i]);
        EXPECT_EQ(slot[0], '\0');
        player_temp_commit(table);
    }
    EXPECT_EQ(table.count, 24);
    EXPECT_EQ(player_temp_reserve(table), nullptr);
    player_temp_commit(table);
    EXPECT_EQ(table.count, 24);
}

TEST(PlayerTempFiles, ReservedButUncommittedSlotIsReusedAndNotDeleted) {
    static PlayerTempFiles table;
    std::snprintf(player_temp_reserve(table), player_text_chars, "failed");
    char* again = player_temp_reserve(table);
    EXPECT_EQ(again, table.names[0]);
    EXPECT_EQ(again[0], '\0');
    removed_names.clear();
    EXPECT_EQ(player_temp_clear(table, record_remove), 0);
    EXPECT_TRUE(removed_names.empty());
}

TEST(PlayerTempFiles, ClearDeletesInSlotOrderAndStartsAgainAtSlotZero) {
    static PlayerTempFiles table;
    const char* names[] = {"C:\\t\\Res1.tmp", "C:\\t\\Res2.tmp", "C:\\t\\Res3.tmp"};
    for (const char* n : names) {
        std::snprintf(player_temp_reserve(table), player_text_chars, "%s", n);
        player_temp_commit(table);
    }
    removed_names.clear();
    EXPECT_EQ(player_temp_clear(table, record_remove), 3);
    EXPECT_EQ(removed_names, (std::vector<std::string>{names[0], names[1], names[2]}));
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(player_temp_reserve(table), table.names[0]);
    removed_names.clear();
    EXPECT_EQ(player_temp_clear(table, record_remove), 0);
    EXPECT_TRUE(removed_names.empty());
}

}  // namespace
