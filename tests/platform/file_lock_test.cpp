// Locks of shared files: exclusive between processes, never trusted on a
// file replaced by rename while waiting, never taken through a link, waits
// bounded, and the probe of the file system.
#include "platform/file_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "frame/module.h"
#include "platform/file_fault.h"
#include "platform/file_ops.h"
#include "support/child_process.h"
#include "support/message_recorder.h"

namespace quillet::testing {
namespace {

TEST(FileLockTest, WaitsForTheHolderAndFollowsAFileReplacedMeanwhile) {
    TempFolder folder;
    const fs::path file = folder.Path() / "Othmcn.dat";
    WriteFile(file, "old\n");
    // The child is started before the lock is taken (a forked child would
    // share the descriptor, and with it the lock); it waits for the lock,
    // then must see the file that the path names when it gets it, and
    // append to that one.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = StartChild([&] {
        char byte = 0;
        if (::read(ready[0], &byte, 1) != 1) return 1;
        const platform::FileLock waiting(file);
        if (waiting.GetState() != platform::FileLock::State::Locked) return 2;
        if (waiting.Read() != std::optional<std::string>("new\n")) return 3;
        return waiting.Append("child\n") ? 0 : 4;
    });
    {
        const platform::FileLock held(file);
        ASSERT_EQ(held.GetState(), platform::FileLock::State::Locked);
        EXPECT_FALSE(LockFree(file));
        ASSERT_EQ(::write(ready[1], "x", 1), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(ReadFile(file), "old\n");
        ASSERT_TRUE(platform::AtomicReplace(file, "new\n"));
    }
    EXPECT_EQ(WaitChild(child), 0);
    EXPECT_EQ(ReadFile(file), "new\nchild\n");
    EXPECT_TRUE(LockFree(file));

    using State = platform::FileLock::State;
    fs::create_symlink(file, folder.Path() / "link");
    for (const auto& [name, state] :
         {std::pair{"none", State::Missing}, std::pair{"", State::Failed},
          std::pair{"link", State::Link}}) {
        EXPECT_EQ(platform::FileLock(folder.Path() / name).GetState(), state) << name;
    }
    EXPECT_EQ(platform::ProbeLocks(file), platform::LockProbe::Exclusive);
    EXPECT_EQ(platform::ProbeLocks(folder.Path() / "link"), std::nullopt);
}

// A holder that never lets go: the wait ends (shortened here from
// kLockWaitLimit) with nothing held, and the holder can be named.
TEST(FileLockTest, AWaitForAStoppedHolderEndsInATimeOut) {
    TempFolder folder;
    const fs::path file = folder.Path() / "Othmcn.dat";
    WriteFile(file, "old\n");
    int held[2];
    ASSERT_EQ(::pipe(held), 0);
    const pid_t child = StartChild([&] {
        const platform::FileLock lock(file);
        const platform::FolderLock folderLock(folder.Path());
        return ::write(held[1], "x", 1) == 1 ? ::pause() : 1;
    });
    char byte = 0;
    ASSERT_EQ(::read(held[0], &byte, 1), 1);
    platform::testing::SetLockWaitLimit(200);
    EXPECT_EQ(platform::FileLock(file).GetState(), platform::FileLock::State::Busy);
    EXPECT_TRUE(platform::FolderLock(folder.Path()).TimedOut());
    platform::testing::SetLockWaitLimit(0);
    // What a dialog shows then names the file.
    MessageRecorder messages;
    EXPECT_TRUE(frame::ShowBusyFileMessage(file.string()));
    EXPECT_NE(messages.Messages().at(0).text.find(file.string()), std::string::npos);
    ::kill(child, SIGKILL);
    WaitChild(child);
    EXPECT_FALSE(frame::ShowBusyFileMessage(file.string()));
}

}  // namespace
}  // namespace quillet::testing
