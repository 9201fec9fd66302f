#include "history/history.h"

#include "system/paths.h"
#include "system/host_platform.h"
#include "system/system_facts.h"
#include "words/messages.h"

#include <cerrno>
#include <cstring>

namespace torvexupdate {

namespace {

// True when the file exists, is not empty and its last byte is not a line end.
bool EndsInsideALine(const std::string& path)
{
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr)
        return false;
    bool torn = false;
    if (std::fseek(file, -1, SEEK_END) == 0)
        torn = std::fgetc(file) != '\n';
    std::fclose(file);
    return torn;
}

DiskFlush& CurrentDiskFlush()
{
    static DiskFlush flush = FlushToDisk;
    return flush;
}

}  // namespace

DiskFlush SetDiskFlush(DiskFlush flush)
{
    DiskFlush replaced = CurrentDiskFlush();
    CurrentDiskFlush() = flush;
    return replaced;
}

std::string HistoryPath(const std::string& chosen, const std::string& moduleFolder)
{
    if (!chosen.empty())
        return chosen;
    std::string variable = EnvironmentVariable(kHistoryVariable);
    if (!variable.empty())
        return variable;
    if (moduleFolder.empty())
        return kHistoryFileName;
    return moduleFolder + kPathSeparators[0] + kHistoryFileName;
}

bool AppendRecord(const std::string& path, const Record& record, std::string* error)
{
    std::string line = (EndsInsideALine(path) ? "\n" : "")
        + record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    std::FILE* file = OpenFile(path, "ab");
    if (file == nullptr) {
        *error = Say(Message::kHistoryNotOpened, {{"path", path}, {"error", std::strerror(errno)}});
        return false;
    }
    bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    bool flushed = written && CurrentDiskFlush()(file);
    bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) {
        *error = Say(Message::kHistoryNotWritten, {{"path", path}, {"error", std::strerror(errno)}});
        return false;
    }
    return true;
}

History ReadHistory(const std::string& path)
{
    History history;
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        if (errno != ENOENT)
            history.error = Say(Message::kHistoryNotRead, {{"path", path}, {"error", std::strerror(errno)}});
        return history;
    }
    std::string bytes;
    char chunk[16 * 1024];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    std::fclose(file);

    std::size_t start = 0;
    for (int number = 1; start < bytes.size(); ++number) {
        std::size_t end = bytes.find('\n', start);
        bool lastUnended = end == std::string::npos;
        std::string line = bytes.substr(start, lastUnended ? std::string::npos : end - start);
        start = lastUnended ? bytes.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        Record record = Record::parse(line, nullptr, false);
        if (record.is_discarded() || !record.is_object()) {
            history.warnings.push_back(Say(lastUnended ? Message::kHistoryLineCut : Message::kHistoryLineDamaged,
                                           {{"path", path}, {"line", std::to_string(number)}}));
            continue;
        }
        history.records.push_back(std::move(record));
    }
    return history;
}

}  // namespace torvexupdate
