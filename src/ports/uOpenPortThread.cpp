#include "ports/uOpenPortThread.h"

#include "ports/uPortsComboBox.h"

#include <vector>

TOpenPortThread::TOpenPortThread(TPortsComboBox& Owner)
    : FOwner(Owner), FThread([this] {
          // Nothing may escape a thread's function; ports not reached stay untested.
          try {
              Execute();
          } catch (...) {
          }
          {
              std::lock_guard<std::mutex> lock(FDoneLock);
              FFinished = true;
          }
          FDone.notify_all();
      }) {}

TOpenPortThread::~TOpenPortThread() {
    Terminate();
    if (FThread.joinable())
        FThread.join();
}

bool TOpenPortThread::Finished() const {
    std::lock_guard<std::mutex> lock(FDoneLock);
    return FFinished;
}

bool TOpenPortThread::WaitFor(std::chrono::milliseconds Timeout) {
    std::unique_lock<std::mutex> lock(FDoneLock);
    return FDone.wait_for(lock, Timeout, [this] { return FFinished; });
}

bool TOpenPortThread::TryOpenPort(const std::string& Name) const {
    // A port whose test fails counts as one not opened.
    try {
        return FOwner.FEnvironment.TryOpenPort && FOwner.FEnvironment.TryOpenPort(Name);
    } catch (...) {
        return false;
    }
}

void TOpenPortThread::Execute() {
    TPortType kind;
    // The work area holds as many numbers as there are records, however many that is.
    std::vector<int> numbers;
    {
        std::lock_guard<std::mutex> lock(FOwner.FLock);
        kind = FOwner.FPortType;
        numbers.reserve(FOwner.FRecords.size());
        for (const TPortProp& record : FOwner.FRecords)
            numbers.push_back(record.Number);
    }
    for (std::size_t i = 0; i < numbers.size() && !FTerminated; ++i) {
        const std::uint8_t state = TryOpenPort(PortName(kind, numbers[i])) ? psAvailable : psUnavailable;
        {
            std::lock_guard<std::mutex> lock(FOwner.FLock);
            if (i < FOwner.FRecords.size() && FOwner.FRecords[i].Number == numbers[i])
                FOwner.FRecords[i].State = state;
        }
        if (FOwner.OnPortStateChanged)
            FOwner.OnPortStateChanged(static_cast<int>(i));
    }
}
