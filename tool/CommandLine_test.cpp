#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Status.h"
#include "console_testing.h"

namespace {

struct Parsed {
    int result;
    SystemParameters parameters;
    std::string output;
};

Parsed parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "zettle");
    ScriptedConsole console("");
    Parsed parsed{0, {}, {}};
    parsed.result = parseCommandLine(static_cast<int>(arguments.size()), arguments.data(),
                                     parsed.parameters, console.console());
    parsed.output = console.output();
    return parsed;
}

TEST(CommandLine, TaskOptionsChooseBatchModeAndNoneInteractive) {
    struct Case {
        std::vector<const char*> arguments;
        int result;
        int task;
        int getAlways;
    };
    const Case cases[] = {
        {{}, InteractiveMode, NoTask, 0},
        {{"-g"}, BatchMode, CollectTask, 0},
        {{"-G"}, BatchMode, CollectTask, 1},
        {{"-g", "-G"}, BatchMode, CollectTask, 1},
        {{"-G", "-g"}, BatchMode, CollectTask, 1}, // -g does not clear it
        {{"-i"}, BatchMode, InstallTask, 0},
        {{"-l"}, BatchMode, ReportTask, 0},
        {{"-g", "-i"}, BatchMode, InstallTask, 0}, // the last task counts
        {{"-d", "out.xml", "-u", "joe"}, InteractiveMode, NoTask, 0},
    };
    for (const Case& c : cases) {
        const Parsed parsed = parse(c.arguments);
        EXPECT_EQ(parsed.result, c.result) << c.arguments.size();
        EXPECT_EQ(parsed.parameters.PKI_TASK, c.task);
        EXPECT_EQ(parsed.parameters.CSR_GET_ALWAYS, c.getAlways);
        EXPECT_EQ(parsed.output, "");
    }
}

TEST(CommandLine, ValuesGoToTheirFields) {
    const Parsed parsed = parse({"-l", "-a", "fabrics.txt", "-d", "report.xml", "-e", "my.log",
                                 "-L", "3x", "-u", "joe", "-p", "sixsix", "-r", "req-7"});
    ASSERT_EQ(parsed.result, BatchMode);
    const SystemParameters& p = parsed.parameters;
    EXPECT_EQ(p.FAB_ADDR_FILE_NAME, "fabrics.txt");
    EXPECT_EQ(p.DATA_FILE_NAME, "report.xml");
    EXPECT_EQ(p.LOG_FILE_NAME, "my.log");
    EXPECT_EQ(p.logLevel, 3);
    EXPECT_EQ(p.USER_LOGIN, "joe");
    EXPECT_EQ(p.PASSWORD, "sixsix");
    EXPECT_EQ(p.MFG_REQUEST_ID, "req-7");
    EXPECT_EQ(p.SWITCH_ADDRESS, "");

    EXPECT_EQ(parse({"-A", "127.0.0.9"}).parameters.SWITCH_ADDRESS, "127.0.0.9");
    // The first character of a password is not checked.
    EXPECT_EQ(parse({"-p", "#secret"}).parameters.PASSWORD, "#secret");
}

TEST(CommandLine, HelpStopsAtOnceWithoutLookingFurther) {
    for (const char* help : {"-h", "-H"}) {
        const Parsed parsed = parse({"-g", help, "-x", "-p", "1"});
        EXPECT_EQ(parsed.result, 0);
        EXPECT_EQ(parsed.parameters.PKI_TASK, HelpTask);
        EXPECT_EQ(parsed.output, "");
    }
}

TEST(CommandLine, UsageErrorsPrintTheUsageText) {
    const std::vector<std::vector<const char*>> cases = {
        {"g"},                              // no "-"
        {"-"},                              // nothing after it
        {"-z"},                             // beyond "u"
        {"-@"},                             // before "A"
        {"-B"},                             // in the band, no option
        {"-d"},                             // missing value
        {"-g", "-u"},                       // missing value at the end
        {"-a", "f.txt", "-A", "127.0.0.2"}, // one address source only
        {"-A", "127.0.0.2", "-a", "f.txt"},
        {"-a", "f.txt", "-a", "g.txt"},
        {"-p", "five5"}, // at least 6 characters
        {"-L", "7"},
        {"-L", "x"},
        {"-L", ""},
        {"-L", "-1"},
        {"-d", "-g"}, // values may not begin with a refused character
        {"-a", "!x"},
        {"-A", "<a>"},
        {"-e", "#log"},
        {"-u", "'joe"},
        {"-r", "?"},
        {"-d", "[x"},
        {"-d", ".hidden"},
    };
    for (const auto& arguments : cases) {
        const Parsed parsed = parse(arguments);
        EXPECT_EQ(parsed.result, UsageError) << arguments.back();
        EXPECT_EQ(parsed.output,
                  "\nUsage:\n  zettle [-gil] [-a addressFile | -A 1-address] [-d dataFile]\n"
                  "\t [-e logFile] [-L #(log info level)] [-u userName -p password]\n\n")
            << arguments.back();
    }
}

TEST(CommandLine, AcceptsTheBoundaryValues) {
    EXPECT_EQ(parse({"-p", "sixsix"}).result, InteractiveMode);
    EXPECT_EQ(parse({"-L", "4"}).parameters.logLevel, 4);
    EXPECT_EQ(parse({"-L", "0"}).parameters.logLevel, 0);
    EXPECT_EQ(parse({"-L", "399999999999"}).parameters.logLevel, 32767); // held, not wrapped
    EXPECT_EQ(parse({"-d", "data/out.xml"}).parameters.DATA_FILE_NAME, "data/out.xml");
    EXPECT_EQ(parse({"-d", "/tmp/out.xml"}).parameters.DATA_FILE_NAME, "/tmp/out.xml");
}

} // namespace
