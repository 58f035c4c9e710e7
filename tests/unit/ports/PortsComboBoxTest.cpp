// The port picker's logic with fake port lists and a fake open test.
#include "ports/uPortsComboBox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;

// PortStateChanged as the tests see it: the indices posted, in order.
class PostedQueue {
public:
    void Post(int Index) {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FIndices.push_back(Index);
        }
        FChanged.notify_all();
    }
    std::vector<int> WaitFor(std::size_t Count) {
        std::unique_lock<std::mutex> lock(FLock);
        FChanged.wait_for(lock, 10s, [&] { return FIndices.size() >= Count; });
        return FIndices;
    }

private:
    std::mutex FLock;
    std::condition_variable FChanged;
    std::vector<int> FIndices;
};

TPortsEnvironment FakeEnvironment(std::function<bool(const std::string&)> Opener = {}) {
    TPortsEnvironment e;
    e.ListPorts = [](TPortType Kind) -> TPortList {
        if (Kind == ptLPT)
            return {{"LPT1", 1}};
        return {{"Communications Port (COM1)", 1}, {"COM3", 3}};
    };
    e.USBPrinters = nullptr;
    e.TryOpenPort = std::move(Opener);
    return e;
}

TEST(PortsComboBox, FillsItsListAtCreationAndWhenTheKindChanges) {
    TMemoryPortItems items;
    TPortsComboBox picker(items, FakeEnvironment());
    EXPECT_EQ(items.Texts, (std::vector<std::string>{"Communications Port (COM1)", "COM3"}));
    EXPECT_EQ(picker.Record(1).Number, 3);
    EXPECT_EQ(picker.Record(1).State, psNotTested);
    picker.SetPortType(ptLPT);
    EXPECT_EQ(items.Texts, (std::vector<std::string>{"LPT1"}));
    EXPECT_EQ(picker.Record(0).Name, "LPT1");
}

TEST(PortsComboBox, SetPortNumberAddsAPortTheSystemDoesNotListOnceAndSelectsIt) {
    TMemoryPortItems items;
    TPortsComboBox picker(items, FakeEnvironment());
    EXPECT_EQ(picker.GetPortNumber(), -1);
    picker.SetPortNumber(7);
    ASSERT_EQ(picker.Count(), 3);
    EXPECT_EQ(items.Texts[2], " ");
    EXPECT_EQ(picker.Record(2).Name, "COM7");
    EXPECT_EQ(picker.Record(2).State, psNotTested);
    EXPECT_EQ(picker.GetPortNumber(), 7);
    items.SetItemIndex(0);
    picker.SetPortNumber(7);
    EXPECT_EQ(picker.Count(), 3);
    EXPECT_EQ(items.Index, 2);
    picker.SetPortNumber(3);
    EXPECT_EQ(items.Index, 1);
    // Numbers above a byte stay whole: COM300 is stored as 300, not as 44.
    picker.SetPortNumber(300);
    EXPECT_EQ(picker.GetPortNumber(), 300);
    for (int bad : {0, -1, MaxPortNumber + 1}) {
        picker.SetPortNumber(bad);
        EXPECT_EQ(picker.GetPortNumber(), 300) << bad;
    }
}

class FakeUSB : public TUSBPrintEnumerator {
public:
    explicit FakeUSB(bool Complete) : FComplete(Complete) {}
    bool Enumerate(std::vector<TUSBPrintItem>& Items) override {
        Items.push_back({"\\\\?\\usb#a", "USB001", "Receipt printer", true});
        Items.push_back({"\\\\?\\usb#b", "", "Hidden", true});
        Items.push_back({"\\\\?\\usb#c", "USB002", "Label printer", false});
        return FComplete;
    }

private:
    bool FComplete;
};

TEST(PortsComboBox, UsbPrintersAreListedByLocationColouredByTheirStateAndHaveNoNumber) {
    TMemoryPortItems items;
    auto environment = FakeEnvironment();
    bool complete = true;
    environment.USBPrinters = [&] { return std::make_unique<FakeUSB>(complete); };
    TPortsComboBox picker(items, environment);
    picker.SetPortType(ptUSB);
    EXPECT_EQ(items.Texts, (std::vector<std::string>{"USB001", "USB002"}));
    EXPECT_EQ(picker.Record(0).Name, "USB001 (Receipt printer)");
    EXPECT_EQ(picker.Record(0).DevicePath, "\\\\?\\usb#a");
    EXPECT_EQ(picker.Record(0).State, psAvailable);
    EXPECT_EQ(picker.Record(1).State, psUnavailable);
    items.SetItemIndex(0);
    EXPECT_EQ(picker.GetPortNumber(), -1);
    picker.SetPortNumber(2);
    EXPECT_EQ(picker.Count(), 2);
    picker.StartPortCheck();
    EXPECT_FALSE(picker.PortCheckRunning());
    complete = false;
    picker.RefreshPorts();
    EXPECT_EQ(picker.Count(), 0);
}

TEST(PortsComboBox, OpenTestColoursEachPortAndPostsItsIndex) {
    TMemoryPortItems items;
    PostedQueue posted;
    // A test that fails (here COM3's) counts as a port not opened; it never ends the thread.
    TPortsComboBox picker(items, FakeEnvironment([](const std::string& Name) {
                              if (Name == "COM3")
                                  throw std::runtime_error("no such port");
                              return Name == "COM1";
                          }));
    picker.OnPortStateChanged = [&](int Index) { posted.Post(Index); };
    picker.SetPortNumber(7);
    picker.Shown();
    EXPECT_EQ(posted.WaitFor(3), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(picker.WaitPortCheck(10s));
    EXPECT_EQ(picker.Record(0).State, psAvailable);
    EXPECT_EQ(picker.Record(1).State, psUnavailable);
    EXPECT_EQ(picker.Record(2).State, psUnavailable);
    EXPECT_EQ(StateColours(psAvailable).Brush, 0x00D000u);
    EXPECT_EQ(StateColours(psUnavailable).Pen, 0x0000A0u);
    EXPECT_EQ(StateColours(psNotTested).Brush, 0xD0D0D0u);
}

// An open test whose ports answer only when the test lets them.
class GatedOpener {
public:
    bool Open(const std::string& Name) {
        std::unique_lock<std::mutex> lock(FLock);
        FTried.push_back(Name);
        FChanged.notify_all();
        FChanged.wait(lock, [&] { return FOpen; });
        return true;
    }
    void WaitTried(std::size_t Count) {
        std::unique_lock<std::mutex> lock(FLock);
        FChanged.wait_for(lock, 10s, [&] { return FTried.size() >= Count; });
    }
    void Release() {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FOpen = true;
        }
        FChanged.notify_all();
    }
    std::size_t Tried() {
        std::lock_guard<std::mutex> lock(FLock);
        return FTried.size();
    }

private:
    std::mutex FLock;
    std::condition_variable FChanged;
    std::vector<std::string> FTried;
    bool FOpen = false;
};

TEST(PortsComboBox, StoppingARunningTestFinishesThePortBeingTriedAndNoMore) {
    TMemoryPortItems items;
    GatedOpener opener;
    TPortsComboBox picker(items, FakeEnvironment([&](const std::string& Name) { return opener.Open(Name); }));
    picker.StartPortCheck();
    opener.WaitTried(1);
    EXPECT_TRUE(picker.PortCheckRunning());
    std::thread release([&] {
        std::this_thread::sleep_for(50ms);
        opener.Release();
    });
    picker.StopPortCheck();
    release.join();
    EXPECT_FALSE(picker.PortCheckRunning());
    EXPECT_EQ(opener.Tried(), 1u);
    EXPECT_EQ(picker.Record(0).State, psAvailable);
    EXPECT_EQ(picker.Record(1).State, psNotTested);
}

// Run under ThreadSanitizer (tools/tsan.sh): the records are rebuilt, added to and read on
// this thread while the open test writes their states.
TEST(PortsComboBox, RecordsRebuiltWhileATestRunsAreNeverWrittenByTwoAtOnce) {
    TMemoryPortItems items;
    std::atomic<int> opened{0};
    std::set<int> postedOutOfRange;
    std::mutex postedLock;
    // Only LPT ports open: a COM test's answer written into the LPT records would show red.
    TPortsComboBox picker(items, FakeEnvironment([&](const std::string& name) {
                              ++opened;
                              std::this_thread::sleep_for(1ms);
                              return name.rfind("LPT", 0) == 0;
                          }));
    picker.OnPortStateChanged = [&](int Index) {
        if (Index < 0 || Index > 3) {
            std::lock_guard<std::mutex> lock(postedLock);
            postedOutOfRange.insert(Index);
        }
    };
    picker.StartPortCheck();
    int metRunning = 0;
    for (int round = 0; round < 50; ++round) {
        // A test that ended before this round (the sanitizer slows a round past the few ports'
        // milliseconds) is started again, so that every rebuild meets one.
        if (!picker.PortCheckRunning())
            picker.StartPortCheck();
        metRunning += picker.PortCheckRunning() ? 1 : 0;
        picker.SetPortType(round % 2 ? ptLPT : ptCOM);
        picker.SetPortNumber(9);
        // Right after a rebuild, while a test of the earlier records may still be answering.
        for (int i = 0; i < picker.Count(); ++i) {
            const TPortProp record = picker.Record(i);
            if (record.Name.rfind("LPT", 0) == 0) {
                EXPECT_NE(record.State, psUnavailable) << "round " << round << ", " << record.Name;
            }
        }
    }
    // With no test to meet, nothing above raced.
    EXPECT_GT(metRunning, 25);
    ASSERT_TRUE(picker.WaitPortCheck(10s));
    // The last rebuild (LPT1 and LPT9) restarted the test only if one was still running then,
    // which depends on the machine's pace: its records are untested or hold LPT answers.
    ASSERT_EQ(picker.Count(), 2);
    EXPECT_EQ(picker.Record(1).Name, "LPT9");
    for (int i = 0; i < picker.Count(); ++i)
        EXPECT_NE(picker.Record(i).State, psUnavailable) << i;
    picker.StartPortCheck();
    ASSERT_TRUE(picker.WaitPortCheck(10s));
    EXPECT_EQ(picker.Record(0).State, psAvailable);
    EXPECT_EQ(picker.Record(1).State, psAvailable);
    EXPECT_GT(opened.load(), 0);
    EXPECT_TRUE(postedOutOfRange.empty());
}

} // namespace
