// The real kbconf binary on the emulated keyboard, driven from outside as a
// user's session would: hidden start, the packets on the wire, one instance per
// user, SIGTERM, a crashed first instance.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <csignal>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/SingleInstance.h"

namespace {

QCoreApplication* App() {
    static int argc = 1;
    static char name[] = "kbconf_app_process_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return app;
}

const char kInstanceName[] = "kbconf-3f6c1a2c-instance";  // entry 0 of uires' string table

struct Line {
    long ms;
    std::string text;
};

class KbconfProcess : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        ASSERT_TRUE(home.isValid() && runtime.isValid());
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QProcessEnvironment Env(const QString& model = QStringLiteral("7080")) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KBCONF_PLATFORM"), QStringLiteral("sim"));
        env.insert(QStringLiteral("KBCONF_SIM_MODEL"), model);
        env.insert(QStringLiteral("KBCONF_SIM_WINDOW"), QStringLiteral("0"));
        env.insert(QStringLiteral("KBCONF_HOME"), home.path());
        env.insert(QStringLiteral("KBCONF_SIM_LOG"), LogPath());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    void Start(QProcess& p, const QStringList& args, const QProcessEnvironment& env) {
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(KBCONF_BINARY_DIR "/bin/kbconf"), args);
        ASSERT_TRUE(p.waitForStarted(5000));
    }

    QString LogPath() const { return home.filePath(QStringLiteral("wire.log")); }

    std::vector<Line> Log(const char* filter = nullptr) const {
        std::vector<Line> out;
        QFile f(LogPath());
        if (!f.open(QIODevice::ReadOnly)) return out;
        while (!f.atEnd()) {
            const std::string line = f.readLine().trimmed().toStdString();
            if (filter && line.find(filter) == std::string::npos) continue;
            out.push_back({std::stol(line), line});
        }
        return out;
    }

    bool WaitForLog(const char* filter, size_t count, int ms) const {
        QElapsedTimer t;
        t.start();
        while (Log(filter).size() < count) {
            if (t.elapsed() > ms) return false;
            QThread::msleep(20);
        }
        return true;
    }

    static int Terminate(QProcess& p) {
        ::kill(pid_t(p.processId()), SIGTERM);
        if (!p.waitForFinished(10000)) return -1000;
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2000;
    }

    void WriteFile(const char* name, const QByteArray& data) {
        QFile f(home.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    QTemporaryDir home;
    QTemporaryDir runtime;
};

QByteArray LedEffects(int sel) {
    QByteArray s = "<?xml version=\"1.0\"?>\n<effect sel=\"" + QByteArray::number(sel) + "\">\n";
    for (int i = 0; i < 20; ++i) s += "\t<item speed=\"3\" brightness=\"4\" deriction=\"1\" selection=\"9\" />\n";
    return s + "</effect>\n";
}

}  // namespace

TEST(CommandLine, OnlyTheExactArgumentStartsHidden) {
    using V = std::vector<std::string>;
    EXPECT_TRUE(app::IsHiddenStart(V{"-hid"}));
    for (const V& v : {V{}, V{"-HID"}, V{"-hid "}, V{" -hid"}, V{"-hid", "x"}, V{"x", "-hid"}, V{"hid"}})
        EXPECT_FALSE(app::IsHiddenStart(v)) << (v.empty() ? "(none)" : v[0]);
}

TEST_F(KbconfProcess, HiddenStartQueriesTheVersionSendsTheStartupSlotTwoSecondsLaterAndEndsCleanlyOnSigterm) {
    WriteFile("ledeffect.xml", LedEffects(7));
    const QByteArray before = [&] {
        QFile f(home.filePath(QStringLiteral("ledeffect.xml")));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    QProcess p;
    Start(p, {QStringLiteral("-hid")}, Env());
    ASSERT_TRUE(WaitForLog("07 ff ff 07 04 03 01 09", 1, 8000)) << p.readAll().toStdString();
    const auto query = Log("set_feature 07 f1");
    const auto slot = Log("07 ff ff 07 04 03 01 09");
    ASSERT_EQ(query.size(), 1u);
    ASSERT_EQ(slot.size(), 1u);
    EXPECT_GE(slot[0].ms - query[0].ms, 1990);
    EXPECT_LE(slot[0].ms - query[0].ms, 2500);

    // A second start hands over to the first and ends at once.
    QProcess second;
    QElapsedTimer t;
    t.start();
    Start(second, {}, Env());
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_LT(t.elapsed(), 4000);
    EXPECT_EQ(Log("set_feature 07 f1").size(), 1u) << "the second start opened no keyboard";

    EXPECT_EQ(Terminate(p), 0);
    // Every virtual report was released at the end; the user's files are as they were.
    const auto keyboardReports = Log("deed:feed -- -- output 05 01");
    ASSERT_FALSE(keyboardReports.empty());
    const std::string& last = keyboardReports.back().text;
    const std::string bytes = last.substr(last.find("05 01") + 5);
    EXPECT_EQ(bytes.find_first_not_of(" 0"), std::string::npos) << last;
    QFile f(home.filePath(QStringLiteral("ledeffect.xml")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("record.xml"))));
}

TEST_F(KbconfProcess, ASecondStartBringsTheFirstWindowForwardEvenWhenHidden) {
    // This process plays the first instance, holding the lock and the socket.
    SingleInstance first(QString::fromLatin1(kInstanceName), runtime.path());
    ASSERT_TRUE(first.IsFirst());
    int asked = 0;
    first.onActivate = [&] { ++asked; };
    QProcess second;
    Start(second, {}, Env());
    QElapsedTimer t;
    t.start();
    while (second.state() != QProcess::NotRunning && t.elapsed() < 8000) {
        QCoreApplication::processEvents();
        second.waitForFinished(10);
    }
    ASSERT_EQ(second.state(), QProcess::NotRunning);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(Log("1a2c:7080").empty()) << "the second start never talked to the keyboard";
}

TEST_F(KbconfProcess, ACrashedFirstInstanceDoesNotBlockTheNext) {
    QProcess crashed;
    Start(crashed, {QStringLiteral("-hid")}, Env());
    ASSERT_TRUE(WaitForLog("set_feature 07 f1", 1, 8000));
    ::kill(pid_t(crashed.processId()), SIGKILL);
    ASSERT_TRUE(crashed.waitForFinished(5000));

    QProcess next;
    Start(next, {QStringLiteral("-hid")}, Env());
    ASSERT_TRUE(WaitForLog("set_feature 07 f1", 2, 8000)) << "the next start runs as the first";
    EXPECT_EQ(next.state(), QProcess::Running);
    EXPECT_EQ(Terminate(next), 0);
}

TEST_F(KbconfProcess, WithoutAKeyboardTheWarningIsAllThereIsAndSigtermStillEndsIt) {
    QProcess p;
    Start(p, {}, Env(QStringLiteral("none")));
    QThread::msleep(1500);
    ASSERT_EQ(p.state(), QProcess::Running) << "the warning waits for the user";
    EXPECT_EQ(Terminate(p), 0);
    EXPECT_TRUE(Log("1a2c:").empty());
}

TEST_F(KbconfProcess, SigtermWhileAMacroPlaysLeavesNoVirtualKeyHeld) {
    // A toggled macro on A that holds B for most of each round.
    WriteFile("record.xml",
              "<?xml version=\"1.0\"?>\n"
              "<record code=\"70004\" play=\"4\" type=\"0\" repeat=\"1\" name=\"A\" group=\"M\">\n"
              "\t<item code=\"70005\" state=\"1\" delay=\"80\" name=\"B\" />\n"
              "\t<item code=\"70005\" state=\"0\" delay=\"5\" name=\"B\" />\n"
              "</record>\n");
    QProcessEnvironment env = Env();
    const QString control = runtime.filePath(QStringLiteral("sim.ctl"));
    env.insert(QStringLiteral("KBCONF_SIM_CONTROL"), control);
    QProcess p;
    Start(p, {QStringLiteral("-hid")}, env);
    ASSERT_TRUE(WaitForLog("ioctl:226044", 1, 8000)) << "the reader waits for keys";
    auto command = [&](const char* line) {
        QLocalSocket s;
        s.connectToServer(control);
        if (!s.waitForConnected(3000)) return std::string("no connection");
        s.write(line);
        s.write("\n");
        s.waitForBytesWritten(3000);
        while (!s.canReadLine() && s.waitForReadyRead(3000)) {
        }
        return s.readLine().trimmed().toStdString();
    };
    ASSERT_EQ(command("press 7:4"), "ok");
    ASSERT_EQ(command("release 7:4"), "ok");
    // Playing: B goes down again and again; stop it while B is held.
    ASSERT_TRUE(WaitForLog("deed:feed -- -- output 05 01 00 20", 2, 5000));
    std::string state;
    QElapsedTimer t;
    t.start();
    do {
        state = command("state");
    } while (state.find("keys=7:5") == std::string::npos && t.elapsed() < 3000);
    ASSERT_NE(state.find("keys=7:5"), std::string::npos) << state;
    EXPECT_EQ(Terminate(p), 0);
    const auto keyboardReports = Log("deed:feed -- -- output 05 01");
    const std::string& last = keyboardReports.back().text;
    const std::string bytes = last.substr(last.find("05 01") + 5);
    EXPECT_EQ(bytes.find_first_not_of(" 0"), std::string::npos) << last;
}

TEST(Folders, DataLiveBesideABuildButInTheUsersConfigFolderForAnInstalledCopy) {
    App();
    QTemporaryDir root, config;
    ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("build/uires"))));
    ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("usr/bin"))));
    ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("usr/share/kbconf/uires"))));
    QFile shipped(root.filePath(QStringLiteral("usr/share/kbconf/config.xml")));
    ASSERT_TRUE(shipped.open(QIODevice::WriteOnly));
    shipped.close();
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME"), savedHome = qgetenv("KBCONF_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qunsetenv("KBCONF_HOME");

    const app::Folders build = app::ResolveFolders(root.filePath(QStringLiteral("build")));
    EXPECT_EQ(build.appDir, root.filePath(QStringLiteral("build")));
    EXPECT_EQ(build.uiresDir, root.filePath(QStringLiteral("build/uires")));
    EXPECT_FALSE(build.movedToUserConfig);

    // Installed: even a folder root may write to holds no user's files.
    const app::Folders installed = app::ResolveFolders(root.filePath(QStringLiteral("usr/bin")));
    EXPECT_EQ(installed.appDir, config.filePath(QStringLiteral("kbconf")));
    EXPECT_TRUE(QFileInfo(installed.appDir).isDir());
    EXPECT_EQ(QDir::cleanPath(installed.uiresDir), root.filePath(QStringLiteral("usr/share/kbconf/uires")));
    EXPECT_EQ(QDir::cleanPath(installed.configPath), root.filePath(QStringLiteral("usr/share/kbconf/config.xml")));
    EXPECT_TRUE(installed.movedToUserConfig);

    qputenv("KBCONF_HOME", root.filePath(QStringLiteral("mine")).toUtf8());
    EXPECT_EQ(app::ResolveFolders(root.filePath(QStringLiteral("usr/bin"))).appDir,
              root.filePath(QStringLiteral("mine")));

    if (savedHome.isNull())
        qunsetenv("KBCONF_HOME");
    else
        qputenv("KBCONF_HOME", savedHome);
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}
