// A process that traces into a shared debug log, or writes events into a shared event log, and
// the check of what several of them left.
//
//   orvel_log_writer write FOLDER TAG COUNT LENGTH WRITERS [events]
//       traces COUNT calls with LENGTH bytes of data each into FOLDER's log, starting once WRITERS
//       writers are ready, so that they all append at the same time; with "events", two objects
//       on two threads (devices TAG1 and TAG2) write COUNT events each into the event log
//   orvel_log_writer check FOLDER LENGTH [events] TAG:COUNT...
//       every line of FOLDER's logs is whole, and each writer's lines are all there, in order
#include "framework/uBaseObject.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

class TTracer : public TBaseObject {
public:
    explicit TTracer(const std::string& folder, const std::string& device = {}) : FDevice(device) {
        FLogPath = folder;
    }

protected:
    bool DoEventLogEnabled() const override { return !FDevice.empty(); }
    void DoEventLogPlace(std::string& Folder, std::string& DeviceID) const override {
        Folder = FLogPath;
        DeviceID = FDevice;
    }

private:
    std::string FDevice;
};

// The data of a writer's call: its tag and number, then a filling that differs from line to line,
// so that the piece of one line inside another never reads as a line.
std::string CallData(const std::string& tag, long index, std::size_t length) {
    std::string data = tag + "#" + std::to_string(index) + "#";
    const std::string unit = tag + std::to_string(index % 97) + "|";
    while (data.size() < length)
        data += unit;
    data.resize(length);
    return data;
}

int Write(const fs::path& folder, const std::string& tag, long count, std::size_t length, long writers,
          bool events) {
    std::ofstream(folder / (tag + ".ready")).put('.');
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    for (;;) {
        long ready = 0;
        for (const auto& entry : fs::directory_iterator(folder))
            ready += entry.path().extension() == ".ready";
        if (ready >= writers)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "%s: the other writers did not start\n", tag.c_str());
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!events) {
        ComPtr<TTracer> tracer = CreateComObject<TTracer>(folder.string());
        tracer->SetTraceEnabled(true);
        for (long i = 0; i < count; ++i)
            tracer->WriteLog("> Trace", CallData(tag, i, length));
        return 0;
    }
    std::vector<std::thread> objects;
    for (const std::string& device : {tag + "1", tag + "2"})
        objects.emplace_back([&folder, device, count, length] {
            ComPtr<TTracer> tracer = CreateComObject<TTracer>(folder.string(), device);
            for (long i = 0; i < count; ++i)
                tracer->WriteEvent(TEventLevel::Warning, CallData(device, i, length));
        });
    for (std::thread& t : objects)
        t.join();
    return 0;
}

// "yyyy.mm.dd hh:nn:ss.zzz\tDEVICE\tLEVEL\t" and the data.
bool ParseEventLine(const std::string& line, std::string& device, std::string& data) {
    constexpr std::size_t timeLength = 23;
    const std::size_t level = line.find('\t', timeLength + 1), text = line.find('\t', level + 1);
    if (line.size() < timeLength || line[timeLength] != '\t' || level == std::string::npos ||
        text == std::string::npos)
        return false;
    device = line.substr(timeLength + 1, level - timeLength - 1);
    data = line.substr(text + 1);
    return true;
}

// "yyyy.mm.dd hh:nn:ss.zzz Inst.: {GUID}\t> Trace: \t" and the data.
bool ParseLine(const std::string& line, std::string& instance, std::string& data) {
    static const std::string inst = " Inst.: ", caption = "\t> Trace: \t";
    constexpr std::size_t timeLength = 23, guidLength = 38;
    if (line.size() < timeLength + inst.size() + guidLength + caption.size() ||
        line.compare(timeLength, inst.size(), inst) != 0)
        return false;
    instance = line.substr(timeLength + inst.size(), guidLength);
    const std::size_t rest = timeLength + inst.size() + guidLength;
    if (instance.front() != '{' || instance.back() != '}' || line.compare(rest, caption.size(), caption) != 0)
        return false;
    data = line.substr(rest + caption.size());
    return true;
}

struct TWriterSeen {
    long Expected = 0;
    long Next = 0; // the number its next line must carry
    std::string Instance;
};

int Check(const fs::path& folder, std::size_t length, bool events, int argc, char** argv) {
    std::map<std::string, TWriterSeen> writers;
    for (int i = 0; i < argc; ++i) {
        const std::string writerAndCount = argv[i]; // "name:lines"
        const auto colon = writerAndCount.find(':');
        writers[writerAndCount.substr(0, colon)].Expected = std::atol(writerAndCount.c_str() + colon + 1);
    }
    long faults = 0, lines = 0;
    auto fault = [&](const std::string& what) {
        if (++faults <= 10)
            std::fprintf(stderr, "%s\n", what.c_str());
    };
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(events ? "Events_" : "Debug_", 0) != 0 || entry.path().extension() != ".log")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const std::string all = text.str();
        std::size_t start = 0;
        while (start < all.size()) {
            const std::size_t end = all.find("\r\n", start);
            if (end == std::string::npos) {
                fault(name + ": the file ends inside a line");
                break;
            }
            const std::string line = all.substr(start, end - start);
            start = end + 2;
            ++lines;
            std::string instance, data;
            if (!(events ? ParseEventLine(line, instance, data) : ParseLine(line, instance, data))) {
                fault(name + ": not a whole line: " + line.substr(0, 120));
                continue;
            }
            const std::string tag = data.substr(0, data.find('#'));
            const auto writer = writers.find(tag);
            if (writer == writers.end()) {
                fault(name + ": a line of no writer: " + data.substr(0, 120));
                continue;
            }
            TWriterSeen& seen = writer->second;
            if (seen.Instance.empty())
                seen.Instance = instance;
            const long index = std::atol(data.c_str() + tag.size() + 1);
            if (index != seen.Next)
                fault(name + ": writer " + tag + " line " + std::to_string(index) + " where " +
                      std::to_string(seen.Next) + " was due");
            if (instance != seen.Instance || data != CallData(tag, index, length))
                fault(name + ": writer " + tag + " line " + std::to_string(index) +
                      " torn: " + data.substr(0, 120));
            seen.Next = index + 1;
        }
    }
    for (const auto& [tag, seen] : writers)
        if (seen.Next != seen.Expected)
            fault("writer " + tag + ": " + std::to_string(seen.Next) + " lines of " +
                  std::to_string(seen.Expected));
    std::printf("log check: %ld lines, %ld faults\n", lines, faults);
    return faults == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "write" && (argc == 7 || (argc == 8 && std::string(argv[7]) == "events")))
        return Write(argv[2], argv[3], std::atol(argv[4]), static_cast<std::size_t>(std::atol(argv[5])),
                     std::atol(argv[6]), argc == 8);
    const bool events = argc > 4 && std::string(argv[4]) == "events";
    if (mode == "check" && argc >= 5 + events)
        return Check(argv[2], static_cast<std::size_t>(std::atol(argv[3])), events, argc - 4 - events,
                     argv + 4 + events);
    std::fprintf(stderr, "usage: orvel_log_writer write FOLDER TAG COUNT LENGTH WRITERS [events] | "
                         "check FOLDER LENGTH [events] TAG:COUNT...\n");
    return 2;
}
