#include "foundation/Logging.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "foundation/FileHandler.h"
#include "foundation/LogManager.h"
#include "foundation/LogRecord.h"
#include "foundation/Logger.h"
#include "foundation/StreamHandler.h"
#include "platform/win32.h"

namespace {

const std::regex kAsctimeForm(R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3][0-9] \d\d:\d\d:\d\d \d{4})");

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool fileExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// How many descriptors of this process are open on `path`.
int openDescriptorsOn(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) {
        return 0;
    }
    int count = 0;
    DIR* fds = opendir("/proc/self/fd");
    if (fds == nullptr) {
        return -1;
    }
    while (dirent* entry = readdir(fds)) {
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        char target[PATH_MAX] = {};
        const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
        if (length > 0 && std::string(target, length) == resolved) {
            ++count;
        }
    }
    closedir(fds);
    return count;
}

// The text a record written by logTrace must have, given the sequence
// number and the time it was made with.
std::string expectedTraceText(int sequence, const std::string& time, const char* category,
                              const std::string& tail) {
    return "\nSequence Number: " + std::to_string(sequence) + "\tCreation Time: " + time +
           "\tLevel: 4\tLevel Name: FINE\tLogger Name: " + category +
           "\tThread ID: " + std::to_string(static_cast<int>(GetCurrentThreadId())) + "\t" + tail;
}

struct ParsedRecord {
    int sequence = 0;
    std::string time;
};

// Sequence number and time of each record in `text`, in file order.
std::vector<ParsedRecord> parseRecords(const std::string& text) {
    static const std::regex head(R"(\nSequence Number: (\d+)\tCreation Time: ([^\t]*)\t)");
    std::vector<ParsedRecord> records;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), head);
         it != std::sregex_iterator(); ++it) {
        records.push_back({std::stoi((*it)[1]), (*it)[2]});
    }
    return records;
}

// A stream buffer that fails every write while `failing` is set.
class SwitchableBuffer : public std::stringbuf {
public:
    bool failing = false;

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        return failing ? 0 : std::stringbuf::xsputn(text, count);
    }
    int_type overflow(int_type c) override {
        return failing ? traits_type::eof() : std::stringbuf::overflow(c);
    }
};

class LoggingTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvane-logging-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        disableCategories(allTraceCategories);
        std::string command = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::string path(const char* name) const { return dir_ + "/" + name; }

    std::string dir_;
};

TEST(LogRecordTest, TextFollowsTheRecordFormat) {
    struct Case {
        const char* method;
        const char* arguments;
        const char* file;
        int line;
        const char* message;
        const char* tail; // from "Source File Name: " to the end
    };
    const Case cases[] = {
        {"Int_FabAPI_ListSessions", "", "hapi_impl", 120, "Entering ",
         "Source File Name: hapi_impl\tSource Line Number: 120\tSource Class Name: NA\t"
         "Source Method Name: Int_FabAPI_ListSessions\tSource Arguments: \tMessage: Entering "},
        {"m", "FabricOid=1", "create", 0, "x",
         "Source File Name: create\tSource Line Number: 0\tSource Class Name: NA\t"
         "Source Method Name: m\tSource Arguments: FabricOid=1\tMessage: x"},
        {"", "", "", -1, "",
         "Source File Name: NA\tSource Line Number: NA\tSource Class Name: NA\t"
         "Source Method Name: NA\tSource Arguments: NA\tMessage: NA"},
        {"", "a b", "", -7, "text",
         "Source File Name: NA\tSource Line Number: NA\tSource Class Name: NA\t"
         "Source Method Name: NA\tSource Arguments: a b\tMessage: text"},
    };
    for (const Case& c : cases) {
        LogRecord record(Level::fine(), c.message, "Vosk_Zoning");
        record.setSourceMethodName(c.method);
        record.setSourceArguments(c.arguments);
        record.setSourceFileName(c.file);
        record.setSourceLineNumber(c.line);
        const std::string expected =
            "\nSequence Number: " + std::to_string(record.getSequenceNumber()) +
            "\tCreation Time: " + record.getCreationTime().c_str() +
            "\tLevel: 4\tLevel Name: FINE\tLogger Name: Vosk_Zoning"
            "\tThread ID: " +
            std::to_string(record.getThreadID()) + "\t" + c.tail;
        EXPECT_EQ(record.toString().c_str(), expected) << c.tail;
    }
}

TEST(LogRecordTest, NumbersRecordsAcrossTheProcessAndStampsThreadAndTime) {
    LogRecord first(Level::info(), "a", "L");
    LogRecord second(Level::info(), "b", "L");
    EXPECT_GE(first.getSequenceNumber(), 1);
    EXPECT_EQ(second.getSequenceNumber(), first.getSequenceNumber() + 1);
    EXPECT_EQ(first.getThreadID(), static_cast<int>(GetCurrentThreadId()));
    EXPECT_TRUE(std::regex_match(first.getCreationTime().c_str(), kAsctimeForm))
        << first.getCreationTime().c_str();
    EXPECT_EQ(first.getSourceLineNumber(), -1);
}

TEST_F(LoggingTest, TraceWritesTheRecordTextToTheCategoryFile) {
    const std::string file = path("zoning.log");
    ASSERT_TRUE(enableCategory(Vosk_Zoning, file.c_str()));
    EXPECT_TRUE(isCategoryEnabled(Vosk_Zoning));
    EXPECT_EQ(logTrace(Vosk_Zoning, "Entering ", "Int_X", "", "hapi_impl", 120), 0);
    EXPECT_EQ(logTrace(Vosk_Zoning, nullptr, "", nullptr, "", -1), 0);
    EXPECT_EQ(logToCategory(Vosk_Zoning, "caller text"), 0);
    ASSERT_TRUE(disableCategory(Vosk_Zoning));

    const std::string text = readFile(file);
    const auto records = parseRecords(text);
    ASSERT_EQ(records.size(), 3u) << text;
    EXPECT_EQ(records[1].sequence, records[0].sequence + 1);
    EXPECT_EQ(records[2].sequence, records[0].sequence + 2);
    for (const auto& record : records) {
        EXPECT_TRUE(std::regex_match(record.time, kAsctimeForm)) << record.time;
    }
    const std::string expected =
        expectedTraceText(records[0].sequence, records[0].time, Vosk_Zoning,
                          "Source File Name: hapi_impl\tSource Line Number: 120\t"
                          "Source Class Name: NA\tSource Method Name: Int_X\t"
                          "Source Arguments: \tMessage: Entering ") +
        expectedTraceText(records[1].sequence, records[1].time, Vosk_Zoning,
                          "Source File Name: NA\tSource Line Number: NA\t"
                          "Source Class Name: NA\tSource Method Name: NA\t"
                          "Source Arguments: NULL\tMessage: NULL") +
        expectedTraceText(records[2].sequence, records[2].time, Vosk_Zoning,
                          "Source File Name: NA\tSource Line Number: NA\t"
                          "Source Class Name: NA\tSource Method Name: NA\t"
                          "Source Arguments: NA\tMessage: caller text");
    EXPECT_EQ(text, expected);
}

TEST_F(LoggingTest, EnterAndExitHelpersWriteMethodFileAndLine) {
    const std::string file = path("api.log");
    ASSERT_TRUE(enableCategory(Vosk_Ext_API, file.c_str()));
    const int enterLine = __LINE__ + 1;
    EXPECT_EQ(TRACE_ENTER(Vosk_Ext_API, "FabAPI_Trace", "hapi_impl"), 0);
    EXPECT_EQ(TRACE_EXIT(Vosk_Ext_API, "FabAPI_Trace", "hapi_impl"), 0);
    disableCategory(Vosk_Ext_API);

    const std::string text = readFile(file);
    EXPECT_NE(text.find("\tSource File Name: hapi_impl\tSource Line Number: " +
                        std::to_string(enterLine) +
                        "\tSource Class Name: NA\tSource Method Name: FabAPI_Trace\t"
                        "Source Arguments: \tMessage: Entering "),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Source Arguments: \tMessage: Exiting "), std::string::npos) << text;
}

TEST_F(LoggingTest, UntracedCategoryWritesNothing) {
    EXPECT_FALSE(isCategoryEnabled(Vosk_Discovery));
    EXPECT_EQ(logTrace(Vosk_Discovery, "Entering ", "m", "", "f", 1), -2);
    EXPECT_EQ(logToCategory(Vosk_Discovery, "message"), -2);
    EXPECT_EQ(logTrace(nullptr, "Entering ", "m", "", "f", 1), -2);
    EXPECT_FALSE(disableCategory(Vosk_Discovery));

    DIR* dir = opendir(dir_.c_str());
    ASSERT_NE(dir, nullptr);
    int entries = 0;
    while (dirent* entry = readdir(dir)) {
        entries += std::string(entry->d_name) != "." && std::string(entry->d_name) != "..";
    }
    closedir(dir);
    EXPECT_EQ(entries, 0);
}

TEST_F(LoggingTest, CategoriesNamingOneFileShareOneHandler) {
    const std::string file = path("shared.log");
    ASSERT_TRUE(enableCategory(Vosk_Zoning, file.c_str()));
    ASSERT_TRUE(enableCategory(Vosk_Session, file.c_str()));
    Handler* zoning = getLogManager().getLogger(Vosk_Zoning)->getHandler(0);
    Handler* session = getLogManager().getLogger(Vosk_Session)->getHandler(0);
    ASSERT_NE(zoning, nullptr);
    EXPECT_EQ(zoning, session);
    EXPECT_EQ(zoning->refcount(), 2);
    EXPECT_EQ(openDescriptorsOn(file), 1);

    // Stopping one category keeps the file open for the other.
    ASSERT_TRUE(disableCategory(Vosk_Zoning));
    EXPECT_EQ(openDescriptorsOn(file), 1);
    EXPECT_EQ(logTrace(Vosk_Session, "still here", "m", "", "f", 3), 0);
    EXPECT_EQ(logTrace(Vosk_Zoning, "gone", "m", "", "f", 3), -2);

    // Stopping the last closes it.
    ASSERT_TRUE(disableCategory(Vosk_Session));
    EXPECT_EQ(openDescriptorsOn(file), 0);
    EXPECT_NE(readFile(file).find("Logger Name: Vosk_Session"), std::string::npos);
}

TEST_F(LoggingTest, EnablingATracedCategoryKeepsItsFirstFile) {
    const std::string first = path("first.log");
    const std::string second = path("second.log");
    ASSERT_TRUE(enableCategory(Vosk_Session, first.c_str()));
    EXPECT_FALSE(enableCategory(Vosk_Session, second.c_str()));
    EXPECT_EQ(logToCategory(Vosk_Session, "where?"), 0);
    disableCategory(Vosk_Session);
    EXPECT_NE(readFile(first).find("Message: where?"), std::string::npos);
    EXPECT_FALSE(fileExists(second));
}

TEST_F(LoggingTest, EnablesAndDisablesCategoryLists) {
    const std::string file = path("all.log");
    ASSERT_TRUE(enableCategory(Vosk_Eventing, path("eventing.log").c_str()));
    EXPECT_TRUE(enableCategories(allTraceCategories, file.c_str()));
    for (const char* category : allTraceCategories) {
        EXPECT_TRUE(isCategoryEnabled(category)) << category;
    }
    EXPECT_FALSE(enableCategories(allTraceCategories, file.c_str())) << "all already traced";
    // The category traced before keeps its own file.
    EXPECT_EQ(logToCategory(Vosk_Eventing, "own file"), 0);
    EXPECT_EQ(readFile(file).find("own file"), std::string::npos);
    EXPECT_NE(readFile(path("eventing.log")).find("own file"), std::string::npos);

    EXPECT_TRUE(disableCategories(allTraceCategories));
    for (const char* category : allTraceCategories) {
        EXPECT_FALSE(isCategoryEnabled(category)) << category;
    }
    EXPECT_FALSE(disableCategories(allTraceCategories));
    EXPECT_EQ(openDescriptorsOn(file), 0);
}

TEST_F(LoggingTest, StreamFailureLosesTheRecordAndClearsTheState) {
    SwitchableBuffer buffer;
    std::ostream stream(&buffer);
    auto* logger = new Logger("Test_Stream");
    logger->addHandler(new StreamHandler(&stream));
    ASSERT_TRUE(getLogManager().addLogger(logger));

    buffer.failing = true;
    EXPECT_EQ(logTrace("Test_Stream", "lost", "m", "", "f", 1), -1);
    EXPECT_EQ(logToCategory("Test_Stream", "lost too"), -1);
    EXPECT_TRUE(stream.good()) << "error state must be cleared";

    buffer.failing = false;
    EXPECT_EQ(logTrace("Test_Stream", "written", "m", "", "f", 1), 0);
    EXPECT_EQ(buffer.str().find("lost"), std::string::npos);
    EXPECT_NE(buffer.str().find("Message: written"), std::string::npos);
    EXPECT_TRUE(disableCategory("Test_Stream")); // before the stream goes
}

TEST_F(LoggingTest, FileThatCannotBeOpenedFailsEveryRecord) {
    const std::string file = path("missing-dir/trace.log");
    ASSERT_TRUE(enableCategory(Vosk_API_State, file.c_str()));
    EXPECT_EQ(logTrace(Vosk_API_State, "Entering ", "m", "", "f", 1), -1);
    EXPECT_EQ(logToCategory(Vosk_API_State, "again"), -1);
    EXPECT_FALSE(fileExists(file));
}

// A filter that lets only records with the message "pass" through.
class PassFilter : public LogFilter {
public:
    bool isLoggable(const LogRecord& record) const override {
        return std::string(record.getMessage().c_str()) == "pass";
    }
};

class BracketFormatter : public LogFormatter {
public:
    QuillonString format(const LogRecord& record) const override { return record.getMessage(); }
    QuillonString getHead() const override { return "["; }
    QuillonString getTail() const override { return "]"; }
};

TEST_F(LoggingTest, LevelsFiltersAndFormattersDecideWhatIsWritten) {
    std::ostringstream stream;
    auto* handler = new StreamHandler(&stream);
    handler->setFormatter(new BracketFormatter);
    auto* logger = new Logger("Test_Hooks");
    logger->addHandler(handler);
    ASSERT_TRUE(getLogManager().addLogger(logger));

    // A record passes while its level value is at most the threshold's.
    EXPECT_EQ(logToCategory("Test_Hooks", "a"), 0);
    logger->setLevel(Level::fine());
    EXPECT_EQ(logToCategory("Test_Hooks", "b"), 0);
    logger->setLevel(Level::finer());
    EXPECT_EQ(logToCategory("Test_Hooks", "refused"), -1);
    EXPECT_TRUE(logger->finest("c"));
    logger->setLevel(Level::all());

    logger->setFilter(new PassFilter);
    EXPECT_EQ(logToCategory("Test_Hooks", "blocked"), -1);
    EXPECT_EQ(logToCategory("Test_Hooks", "pass"), 0);
    logger->removeFilter();

    handler->setLevel(Level::info());
    EXPECT_FALSE(logger->warning("refused by the handler"));
    EXPECT_TRUE(logger->info("d"));
    EXPECT_EQ(stream.str(), "[a][b][c][pass][d]");
    EXPECT_TRUE(disableCategory("Test_Hooks")); // before the stream goes
}

// Records written from many threads at once come out whole, numbered in the
// order they were written.
TEST_F(LoggingTest, ConcurrentTracesAreWrittenWholeAndInOrder) {
    const std::string file = path("threads.log");
    ASSERT_TRUE(enableCategory(Vosk_ConnectionMgr, file.c_str()));
    constexpr int kThreads = 4;
    constexpr int kRecords = 100;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < kRecords; ++i) {
                logTrace(Vosk_ConnectionMgr, "Entering ", "m", "", "f", i);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    disableCategory(Vosk_ConnectionMgr);

    const std::string text = readFile(file);
    const auto records = parseRecords(text);
    ASSERT_EQ(records.size(), static_cast<size_t>(kThreads * kRecords));
    for (size_t i = 1; i < records.size(); ++i) {
        ASSERT_GT(records[i].sequence, records[i - 1].sequence) << i;
    }
    const std::regex whole(
        R"(Sequence Number: \d+\tCreation Time: [^\t]+\tLevel: 4\t)"
        R"(Level Name: FINE\tLogger Name: Vosk_ConnectionMgr\tThread ID: \d+\t)"
        R"(Source File Name: f\tSource Line Number: \d+\tSource Class Name: NA\t)"
        R"(Source Method Name: m\tSource Arguments: \tMessage: Entering )");
    ASSERT_EQ(text.front(), '\n');
    size_t start = 1;
    while (start <= text.size()) {
        size_t next = text.find('\n', start);
        if (next == std::string::npos) {
            next = text.size();
        }
        ASSERT_TRUE(std::regex_match(text.substr(start, next - start), whole))
            << text.substr(start, next - start);
        start = next + 1;
    }
}

} // namespace
