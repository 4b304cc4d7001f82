#include "platform/sim/SimControlServer.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "SimControlRig.h"
#include "platform/sim/SimControlClient.h"
#include "platform/sim/SimControlCommands.h"

using namespace platform;
using namespace platform::sim;

namespace {

struct TempDir {
    std::string path;
    TempDir() {
        std::string t = (std::filesystem::temp_directory_path() / "kbconf-simctl-test-XXXXXX").string();
        path = ::mkdtemp(t.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

struct ServerRig : simtest::Rig {
    TempDir dir;
    std::string path = dir.path + "/control";
    SimControlServer server{*control};

    std::string Ask(const std::string& command) {
        SimControlClient client;
        std::string answer;
        if (!client.Connect(path) || !client.Exchange(command, &answer)) return "<no answer>";
        return answer;
    }
};

TEST(SimControlServer, AnswersEachCommandOfSeveralClientsInTurn) {
    ServerRig rig;
    std::string why;
    ASSERT_TRUE(rig.server.Start(rig.path, &why)) << why;

    struct stat st;
    ASSERT_EQ(::stat(rig.path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // Nothing of the staging folder stays beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(rig.dir.path), {}), 1);

    EXPECT_EQ(rig.Ask("state"),
              "ok model=7080 plugged=yes version=1.0 keys=- effect=0 brightness=5 speed=2 flags=0 selection=0 side=0 "
              "level=7");
    // A goes down through the filter driver and the program types Q.
    EXPECT_EQ(rig.Ask("press 7:4"), "ok");
    ASSERT_TRUE(rig.WaitFor([](const SimControlState& s) { return !s.heldKeys.empty(); }));
    EXPECT_EQ(rig.Ask("press c:E2"), "ok");
    ASSERT_TRUE(rig.WaitFor([](const SimControlState& s) { return s.heldKeys.size() == 2; }));
    EXPECT_NE(rig.Ask("state").find(" keys=7:14,c:e9 "), std::string::npos);
    EXPECT_EQ(rig.Ask("release 7:4"), "ok");
    EXPECT_EQ(rig.Ask("release c:e2"), "ok");
    ASSERT_TRUE(rig.WaitFor([](const SimControlState& s) { return s.heldKeys.empty(); }));

    // One connection, several commands in one write, answers in order; a
    // "\r\n" line end is accepted.
    SimControlClient client;
    ASSERT_TRUE(client.Connect(rig.path));
    ASSERT_TRUE(client.SendRaw("unplug\r\npress 7:4\nplug 7FFF\nstate\n"));
    std::string a, b, c, d;
    ASSERT_TRUE(client.ReadLine(&a) && client.ReadLine(&b) && client.ReadLine(&c) && client.ReadLine(&d));
    EXPECT_EQ(a, "ok");
    EXPECT_EQ(b, "error: no keyboard is plugged");
    EXPECT_EQ(c, "ok");
    EXPECT_EQ(d,
              "ok model=7fff plugged=yes version=1.0 keys=- effect=0 brightness=5 speed=2 flags=0 selection=0 side=0 "
              "level=7");
    // A line split over several writes, and a last line without its newline.
    ASSERT_TRUE(client.SendRaw("pl"));
    ASSERT_TRUE(client.SendRaw("ug 7080\nunpl"));
    ASSERT_TRUE(client.ReadLine(&a));
    EXPECT_EQ(a, "ok");
    ASSERT_TRUE(client.SendRaw("ug"));
    ASSERT_TRUE(client.FinishSending());
    ASSERT_TRUE(client.ReadLine(&a));
    EXPECT_EQ(a, "ok");
    EXPECT_FALSE(client.ReadLine(&a));  // and the server closes
    EXPECT_EQ(rig.Ask("plug"), "ok");
    EXPECT_EQ(rig.Ask("state").substr(0, 26), "ok model=7080 plugged=yes ");

    rig.server.Stop();
    EXPECT_FALSE(std::filesystem::exists(rig.path));
    SimControlClient late;
    EXPECT_FALSE(late.Connect(rig.path));
}

TEST(SimControlServer, BadLinesGetAnErrorAndChangeNothing) {
    ServerRig rig;
    ASSERT_TRUE(rig.server.Start(rig.path));
    const std::string before = rig.Ask("state");
    const auto requests = rig.functionKeys.Filter().Requests().size();

    const struct {
        const char* line;
        const char* answer;
    } cases[] = {
        {"", "error: empty command"},
        {"   ", "error: empty command"},
        {"jump", "error: unknown command 'jump': press, release, unplug, plug or state"},
        {"PRESS 7:4", "error: unknown command 'PRESS': press, release, unplug, plug or state"},
        {"press", "error: press needs one key as PAGE:USAGE in hex, e.g. 7:4"},
        {"press 7", "error: press needs one key as PAGE:USAGE in hex, e.g. 7:4"},
        {"press 7:", "error: press needs one key as PAGE:USAGE in hex, e.g. 7:4"},
        {"press :4", "error: press needs one key as PAGE:USAGE in hex, e.g. 7:4"},
        {"press 7:4:1", "error: press needs one key as PAGE:USAGE in hex, e.g. 7:4"},
        {"press 7:10000", "error: press needs one key as PAGE:USAGE in hex, e.g. 7:4"},
        {"press 0x7:4", "error: press needs one key as PAGE:USAGE in hex, e.g. 7:4"},
        {"press 7:4 7:5", "error: press needs one key as PAGE:USAGE in hex, e.g. 7:4"},
        {"release 7:g", "error: release needs one key as PAGE:USAGE in hex, e.g. 7:4"},
        {"press 8:4", "error: the keyboard has no keys on that usage page"},
        {"unplug now", "error: unplug takes no argument"},
        {"plug 7090", "error: unknown model '7090': 7080 or 7fff"},
        {"plug none", "error: unknown model 'none': 7080 or 7fff"},
        {"plug 7080 7fff", "error: plug takes at most one model: 7080 or 7fff"},
        {"plug", "error: the 7080 keyboard is already plugged"},
        {"state now", "error: state takes no argument"},
    };
    for (const auto& c : cases) EXPECT_EQ(rig.Ask(c.line), c.answer) << "line: '" << c.line << "'";

    // Over-long lines, whole or arriving in pieces, are refused; the connection
    // goes on with the next line.
    SimControlClient client;
    ASSERT_TRUE(client.Connect(rig.path));
    const std::string longLine = "press " + std::string(SimControlCommands::kMaxLine, '7') + ":4";
    std::string answer;
    ASSERT_TRUE(client.Exchange(longLine, &answer));
    EXPECT_EQ(answer, "error: line too long");
    ASSERT_TRUE(client.SendRaw(std::string(64 * 1024, 'x')));
    ASSERT_TRUE(client.ReadLine(&answer));
    EXPECT_EQ(answer, "error: line too long");
    ASSERT_TRUE(client.SendRaw("unplug\n"));  // the end of the long line: skipped
    ASSERT_TRUE(client.Exchange("state", &answer));
    EXPECT_EQ(answer, before);

    EXPECT_EQ(rig.Ask("state"), before);
    EXPECT_EQ(rig.functionKeys.Filter().Requests().size(), requests);
    EXPECT_TRUE(rig.functionKeys.Filter().PassedThrough().empty());
    EXPECT_TRUE(rig.setup.bus->IsPlugged(rig.setup.keyboard.get()));
}

TEST(SimControlServer, ReplacesOnlyAStaleSocket) {
    ServerRig rig;
    std::string why;

    // A file that is not a socket is the user's: left alone.
    { std::ofstream(rig.path) << "mine"; }
    EXPECT_FALSE(rig.server.Start(rig.path, &why));
    EXPECT_EQ(why, rig.path + " exists and is not a socket");
    std::filesystem::remove(rig.path);

    // A socket nobody listens on any more (a crashed run) is replaced.
    {
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", rig.path.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
    }
    ASSERT_TRUE(rig.server.Start(rig.path, &why)) << why;
    EXPECT_EQ(rig.Ask("unplug"), "ok");
    EXPECT_FALSE(rig.server.Start(rig.path, &why));

    // A live one belongs to another run.
    SimControlServer other(*rig.control);
    EXPECT_FALSE(other.Start(rig.path, &why));
    EXPECT_EQ(why, "another process listens on " + rig.path);
    EXPECT_EQ(rig.Ask("plug"), "ok");

    // The environment names the path; unset, nothing starts.
    rig.server.Stop();
    ::unsetenv(SimControlServer::kEnvironment);
    EXPECT_TRUE(other.StartFromEnvironment(&why));
    EXPECT_FALSE(other.Running());
    ::setenv(SimControlServer::kEnvironment, rig.path.c_str(), 1);
    EXPECT_TRUE(other.StartFromEnvironment(&why)) << why;
    ::unsetenv(SimControlServer::kEnvironment);
    EXPECT_EQ(rig.Ask("state").substr(0, 2), "ok");
}

}  // namespace
