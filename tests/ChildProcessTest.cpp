// The child's standard output as the parent gets it: whole, cut at the byte limit, and fixed
// once the child has ended, whatever a process it left behind writes later.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "childimport/ChildProcess.h"
#include "tests/TestFiles.h"

namespace {

std::string Text(const ChildOutput& output) {
    return std::string(reinterpret_cast<const char*>(output.data()), output.size());
}

}  // namespace

TEST(ChildProcess, TheOutputIsWhatTheChildWroteUpToItsEnd) {
    const struct {
        const char* script;
        uint64_t maxBytes;
        const char* output;
        bool tooMuch;
    } cases[] = {
        {"printf abc", 100, "abc", false},
        {"true", 100, "", false},
        {"printf abc; exit 3", 100, "abc", false},
        // A write past the limit fails in the child; its output is not taken, and a child that
        // goes on writing is stopped without waiting for its time to run out.
        {"printf 0123456789abcdef", 10, "", true},
        {"while :; do printf 0123456789; done", 10, "", true},
        // What a process the child left behind writes after the child's end changes nothing.
        {"printf abc; (sleep 0.3; printf xyz) &", 100, "abc", false},
    };
    std::vector<ChildRun> runs;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        ChildLimits limits;
        limits.maxBytes = c.maxBytes;
        runs.push_back(RunChild("/bin/sh", {"sh", "-c", c.script}, limits));
        ASSERT_TRUE(runs.back().started);
        EXPECT_EQ(runs.back().tooMuch, c.tooMuch);
        EXPECT_EQ(Text(runs.back().output), c.output);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    for (size_t i = 0; i < runs.size(); ++i)
        EXPECT_EQ(Text(runs[i].output), cases[i].output) << cases[i].script;
}

// A child started and then waited for after other work gives the same; one never waited for is
// stopped when its handle goes, before it could do anything more.
TEST(ChildProcess, AStartedChildIsWaitedForLaterOrStoppedWhenItsHandleGoes) {
    testfiles::TempDir dir;
    const std::string late = dir.File("late");
    {
        StartedChild child("/bin/sh", {"sh", "-c", "printf abc"}, ChildLimits{});
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const ChildRun run = child.Wait();
        EXPECT_TRUE(run.exited);
        EXPECT_EQ(Text(run.output), "abc");
    }
    { StartedChild child("/bin/sh", {"sh", "-c", "sleep 0.3; : > " + late}, ChildLimits{}); }
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_FALSE(std::filesystem::exists(late));
}

// A reader of the output as it comes sees only what the child has written, in order, and its view
// keeps neither the whole output nor its seal from the parent at the end.
TEST(ChildProcess, OutputIsShownAsItComes) {
    std::vector<std::string> shown;
    ChildLimits limits;
    limits.partial = [&shown](const uint8_t* data, size_t size) {
        shown.emplace_back(reinterpret_cast<const char*>(data), size);
        return size_t{2};  // "ab" read for good: the whole output still comes at the end
    };
    const ChildRun run =
        RunChild("/bin/sh", {"sh", "-c", "printf abc; sleep 1; printf def"}, limits);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(Text(run.output), "abcdef");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "abc");
    for (const std::string& part : shown)
        EXPECT_EQ(std::string("abcdef").compare(0, part.size(), part), 0) << part;

    // Megabytes read for good as they came (and given back): what came after them still comes
    // whole at the end.
    size_t read = 0;
    limits.partial = [&read](const uint8_t*, size_t size) { return read = size; };
    const ChildRun big = RunChild(
        "/bin/sh", {"sh", "-c", "head -c 3000000 /dev/zero | tr '\\0' x; sleep 1; printf end"},
        limits);
    ASSERT_TRUE(big.exited);
    ASSERT_EQ(big.output.size(), 3000003u);
    ASSERT_GE(read, 3000000u);
    const std::string whole = std::string(3000000, 'x') + "end";
    EXPECT_EQ(Text(big.output).substr(read), whole.substr(read));
}
