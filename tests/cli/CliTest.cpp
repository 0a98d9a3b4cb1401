// The command-line tool, run as its own process.

#include "BadlyEncodedXml.h"
#include "TestSoapServer.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct CliRun
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readFile(const std::filesystem::path &path)
{
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

// Runs the tool through the shell, every argument quoted, with the given standard input; when
// quiet, with its diagnostic lines silenced. A test service answers its calls.
class CliProcess : public ::testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(m_directory); }
    void TearDown() override { std::filesystem::remove_all(m_directory); }

    CliRun run(const std::vector<std::string> &arguments, const std::string &input = {}, bool quiet = false)
    {
        std::ofstream(m_directory / "in", std::ios::binary) << input;
        std::string command = std::string(quiet ? "HSSCHOOL_QUIET=1 " : "") + HSSCHOOL_CLI_PATH;
        for (const std::string &argument : arguments) {
            command += " '";
            for (char c : argument)
                command += c == '\'' ? std::string("'\\''") : std::string(1, c);
            command += "'";
        }
        const std::string files = (m_directory / "").string();
        const int status =
            std::system((command + " <" + files + "in >" + files + "out 2>" + files + "err").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(m_directory / "out"),
                readFile(m_directory / "err")};
    }

    TestSoapServer server;

private:
    const std::filesystem::path m_directory =
        std::filesystem::temp_directory_path() / ("hsschool-cli-test-" + std::to_string(::getpid()));
};

TEST_F(CliProcess, CallPassesItsArgumentsAndPrintsTheResponseRecord)
{
    server.answerWithDocument("<Result><Code>0</Code><Error></Error><NewsType><TypeId>3</TypeId>"
                              "<TypeCode>notice</TypeCode><TypeName>通知</TypeName><TypeType>0</TypeType>"
                              "</NewsType></Result>");

    const CliRun run = this->run({"--endpoint", server.url(), "call", "GetNewsTypes"});

    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(
        nlohmann::json::parse(run.out),
        (nlohmann::json{
            {"answered", true},
            {"code", 0},
            {"error", nullptr},
            {"item", nullptr},
            {"items", {{{"typeId", 3}, {"typeCode", "notice"}, {"typeName", "通知"}, {"typeType", 0}}}}}));
    EXPECT_EQ(server.lastCall().method, "getNewsTypes");

    // The tool's own arguments follow the access keys in order.
    const CliRun posted = this->run(
        {"--endpoint", server.url(), "call", "PostStdStates", "wang", "", "-1", "按时完成", "S01", "31"});
    ASSERT_EQ(posted.exitCode, 0) << posted.err;
    EXPECT_EQ(server.lastCall().arguments,
              (std::vector<std::string>{"qovel", "zantre", "wang", "", "-1", "按时完成", "S01", "31"}));
}

TEST_F(CliProcess, CallExitStatusTellsAcceptedRefusedAndUnansweredApart)
{
    const std::vector<std::string> login = {"--endpoint", server.url(), "call", "LoginTeacher", "li", "pw"};

    server.answerWithDocument("<Result><Code>0</Code><Error></Error><TeacherId>4</TeacherId></Result>");
    const CliRun accepted = this->run(login);
    EXPECT_EQ(accepted.exitCode, 0) << accepted.err;
    EXPECT_EQ(nlohmann::json::parse(accepted.out)["item"]["userId"], 4);

    server.answerWithDocument("<Result><Code>5</Code><Error>密码错误</Error></Result>");
    const CliRun refused = this->run(login);
    EXPECT_EQ(refused.exitCode, 1) << refused.err;
    EXPECT_EQ(nlohmann::json::parse(refused.out)["error"], "密码错误");

    // An empty result element is no answer, even though the service replied.
    server.answerWithDocument("");
    const CliRun empty = this->run(login);
    EXPECT_EQ(empty.exitCode, 3) << empty.err;
    EXPECT_EQ(nlohmann::json::parse(empty.out)["answered"], false);

    const ClosedPort closed;
    const CliRun unreachable = this->run({"--endpoint", closed.url(), "call", "LoginTeacher", "li", "pw"});
    EXPECT_EQ(unreachable.exitCode, 3) << unreachable.err;
    EXPECT_TRUE(nlohmann::json::parse(unreachable.out)["item"].is_null());
}

TEST_F(CliProcess, DashArgumentsAreReadAsLinesOfStandardInput)
{
    const CliRun run = this->run({"--endpoint", server.url(), "call", "PostChat", "-", "S01", "31", "-"},
                                 " pass word;=@\r\n第二行\nunused\n");

    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(server.lastCall().arguments,
              (std::vector<std::string>{"qovel", "zantre", " pass word;=@", "S01", "31", "第二行"}));

    const CliRun missing = this->run({"--endpoint", server.url(), "call", "LoginTeacher", "li", "-"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(std::ranges::count(missing.err, '\n'), 1);
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(CliProcess, UsageErrorsExitWithTwoAndOneLineAndSendNothing)
{
    const std::vector<std::vector<std::string>> misuses = {
        {"--endpoint", server.url(), "call", "GetEverything"},
        {"--endpoint", server.url(), "call", "GetNews", "S01", "31"},
        {"--endpoint", server.url(), "call", "GetTheNews", "99999999999"},
        {"parse", "NoSuchParser"},
        {},
    };
    for (const std::vector<std::string> &arguments : misuses) {
        const CliRun run = this->run(arguments);
        SCOPED_TRACE(run.err);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(std::ranges::count(run.err, '\n'), 1);
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(CliProcess, ParsePrintsWhatTheParserRead)
{
    const std::string document = "<Result><Code>0</Code><Error></Error>"
                                 "<News><NewsId>7</NewsId><NewsTitle>开学 &amp; 典礼</NewsTitle>"
                                 "<ForceReturn>1</ForceReturn><PublicDate>2013-09-01</PublicDate></News>"
                                 "<News><NewsId>8</NewsId></News></Result>";

    const CliRun run = this->run({"parse", "GetNewsesParser"}, document);

    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json printed = nlohmann::json::parse(run.out);
    EXPECT_TRUE(printed["code"] == 0 && printed["error"].is_null() && printed["newses"].size() == 2u);
    EXPECT_TRUE(printed["newses"][0]["newsId"] == 7 && printed["newses"][0]["newsTitle"] == "开学 & 典礼");
}

// A document that is not well-formed gives no record: nothing printed, one line on standard error
// and status 3. With the diagnostic lines silenced, that line is all there is, also when the
// document's bytes do not convert from the encoding it declares.
TEST_F(CliProcess, ParseOfADocumentThatIsNotWellFormedPrintsOneLineAndExitsWithThree)
{
    std::vector<BadlyEncodedXml> documents = {{"cut short", "<Result><Code>0</Code><News><NewsId>7"},
                                              {"empty", ""}};
    std::ranges::copy(badlyEncodedXml("<Result><Code>0</Code><News><NewsId>", "7</NewsId></News></Result>"),
                      std::back_inserter(documents));
    for (const BadlyEncodedXml &document : documents) {
        SCOPED_TRACE(document.name);
        const CliRun run = this->run({"parse", "GetNewsesParser"}, document.bytes, true);
        EXPECT_EQ(run.exitCode, 3);
        EXPECT_EQ(run.err, "hsschool-cli: the document is not well-formed XML\n");
        EXPECT_TRUE(run.out.empty());
    }
}

} // namespace
