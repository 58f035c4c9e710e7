// TOpenPortThread: the picker's background open test. It copies the port numbers under the
// picker's lock, tries each port in turn and stores the result in the entry's state under the
// same lock, then reports the entry through the picker's PortStateChanged.
#pragma once

#include "ports/uPortTypes.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class TPortsComboBox;

class TOpenPortThread {
public:
    // Runs as soon as it is constructed.
    explicit TOpenPortThread(TPortsComboBox& Owner);
    // Asks the test to stop and waits for it.
    ~TOpenPortThread();
    TOpenPortThread(const TOpenPortThread&) = delete;
    TOpenPortThread& operator=(const TOpenPortThread&) = delete;

    // The test stops before its next port; the one being tried is finished first.
    void Terminate() noexcept { FTerminated = true; }
    bool Finished() const;
    bool WaitFor(std::chrono::milliseconds Timeout);
    bool TryOpenPort(const std::string& Name) const;

private:
    void Execute();

    TPortsComboBox& FOwner;
    std::atomic<bool> FTerminated{false};
    mutable std::mutex FDoneLock;
    std::condition_variable FDone;
    bool FFinished = false;
    std::thread FThread; // last: starts when everything above is in place
};
