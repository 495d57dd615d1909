// SPDX-License-Identifier: MIT
// Every save of both programs goes through one writer: what it replaces, what it writes through and what it
// refuses, and what a replaced file keeps. Every file read back goes through one reader, bounded by what it
// reads.
#include "core/runtime/fileread.h"
#include "core/runtime/filewrite.h"

#include <QTest>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <thread>

using namespace tarvelin;

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    void throughLinks_data();
    void throughLinks();
    void intoWhatIsNoFile();
    void keepsOwnerAndMode();
    void newFileTakesTheUmask();
    void readingIsBounded_data();
    void readingIsBounded();
};

namespace {

std::string contentsOf(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(unreadable)");
}

bool isLink(const std::string &path)
{
    struct stat about
    {
    };
    return ::lstat(path.c_str(), &about) == 0 && S_ISLNK(about.st_mode);
}

} // namespace

// A link keeps being a link, and the file it names, there or not yet, gets the contents.
void TestFiles::throughLinks_data()
{
    QTest::addColumn<QStringList>("links"); // each link's text, the first being the one saved to
    QTest::addColumn<bool>("targetThere");
    QTest::newRow("to a file") << QStringList{"target.json"} << true;
    QTest::newRow("to no file yet") << QStringList{"target.json"} << false;
    QTest::newRow("a chain, relative") << QStringList{"second", "sub/../target.json"} << true;
    QTest::newRow("a chain to no file yet") << QStringList{"second", "target.json"} << false;
}

void TestFiles::throughLinks()
{
    QFETCH(QStringList, links);
    QFETCH(bool, targetThere);
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    const std::string base = folder.path().toStdString() + "/";
    if (targetThere)
        QVERIFY(!writeWholeFile(base + "target.json", "old"));
    // link0 -> links[0], second -> links[1], ...
    std::vector<std::string> names{"link0"};
    for (qsizetype i = 1; i < links.size(); ++i)
        names.push_back(links[i - 1].toStdString());
    for (qsizetype i = 0; i < links.size(); ++i)
        QCOMPARE(::symlink(links[i].toStdString().c_str(), (base + names[i]).c_str()), 0);
    const std::optional<std::string> failure = writeWholeFile(base + "link0", "new");
    QVERIFY2(!failure, failure ? failure->c_str() : "");
    for (const std::string &name : names)
        QVERIFY2(isLink(base + name), name.c_str());
    QCOMPARE(contentsOf(base + "target.json"), std::string("new"));
}

// A FIFO is written to its reader, /dev/full refuses with its reason and stays a device, and a FIFO that
// nobody reads is refused rather than waited on.
void TestFiles::intoWhatIsNoFile()
{
    QTemporaryDir folder;
    const std::string fifo = folder.path().toStdString() + "/fifo";
    QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
    std::string read;
    std::thread reader([&] { read = contentsOf(fifo); });
    // The reader opens the FIFO in its own time: the writer meets it or finds none, and tries again.
    std::optional<std::string> failure;
    for (int tries = 0; tries < 500; ++tries) {
        failure = writeWholeFile(fifo, "to the reader");
        if (!failure || *failure != "No such device or address")
            break;
        QTest::qWait(10);
    }
    if (failure) // let the reader go
        ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
    reader.join();
    QVERIFY2(!failure, failure ? failure->c_str() : "");
    QCOMPARE(read, std::string("to the reader"));
    struct stat about
    {
    };
    QVERIFY(::stat(fifo.c_str(), &about) == 0 && S_ISFIFO(about.st_mode));
    QCOMPARE(writeWholeFile(fifo, "nobody reads"), std::optional<std::string>("No such device or address"));

    QCOMPARE(writeWholeFile("/dev/full", "more"), std::optional<std::string>("No space left on device"));
    QVERIFY(::stat("/dev/full", &about) == 0 && S_ISCHR(about.st_mode));

    // A link to a device is written through too: /dev/stdout stays the link it is.
    const std::string link = folder.path().toStdString() + "/null";
    QCOMPARE(::symlink("/dev/null", link.c_str()), 0);
    QVERIFY(!writeWholeFile(link, "gone"));
    QVERIFY(isLink(link));
}

// A file replaced keeps its mode, and, where the program may give it back, its owner.
void TestFiles::keepsOwnerAndMode()
{
    QTemporaryDir folder;
    const std::string kept = folder.path().toStdString() + "/kept.csv";
    QVERIFY(!writeWholeFile(kept, "old"));
    QCOMPARE(::chmod(kept.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    const passwd *nobody = ::getpwnam("nobody");
    if (root && nobody)
        QCOMPARE(::chown(kept.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    QVERIFY(!writeWholeFile(kept, "new"));
    QCOMPARE(contentsOf(kept), std::string("new"));
    struct stat about
    {
    };
    QVERIFY(::stat(kept.c_str(), &about) == 0);
    QCOMPARE(about.st_mode & 07777, 0640U);
    if (!root || !nobody)
        QSKIP("giving a file back to another user needs root");
    QCOMPARE(about.st_uid, nobody->pw_uid);
    QCOMPARE(about.st_gid, nobody->pw_gid);
}

void TestFiles::newFileTakesTheUmask()
{
    QTemporaryDir folder;
    const mode_t mask = ::umask(027);
    const std::string fresh = folder.path().toStdString() + "/new.csv";
    QVERIFY(!writeWholeFile(fresh, "new"));
    ::umask(mask);
    struct stat about
    {
    };
    QVERIFY(::stat(fresh.c_str(), &about) == 0);
    QCOMPARE(about.st_mode & 07777, 0640U);
}

// A stream is read to its end where streams are read, but never past the most a sweep or a design can be,
// whatever size it reports; where they are refused, it is refused at once, even a FIFO with no writer.
void TestFiles::readingIsBounded_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("streams");
    QTest::addColumn<QString>("expected"); // the text, or the refusal's kind and reason
    QTest::newRow("a file") << "file" << false << "text:saved";
    QTest::newRow("endless, reporting no size") << "/dev/zero" << true << "too large";
    QTest::newRow("a device, in a window") << "/dev/zero" << false << "not a file:a device";
    QTest::newRow("a FIFO with no writer, in a window") << "fifo" << false << "not a file:a FIFO";
    QTest::newRow("a folder") << "/" << true << "system:Is a directory";
    QTest::newRow("nothing there") << "none" << true << "system:No such file or directory";
}

void TestFiles::readingIsBounded()
{
    QFETCH(QString, path);
    QFETCH(bool, streams);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    QVERIFY(!writeWholeFile(folder.filePath(QStringLiteral("file")).toStdString(), "saved"));
    QCOMPARE(::mkfifo(folder.filePath(QStringLiteral("fifo")).toLocal8Bit().constData(), 0600), 0);
    const std::string where = path.startsWith('/') ? path.toStdString() : folder.filePath(path).toStdString();
    const auto read = readWholeFile(where, streams ? Streams::Read : Streams::Refused);
    QString got;
    if (const auto *text = std::get_if<std::string>(&read))
        got = "text:" + QString::fromStdString(*text);
    else if (const auto &refusal = std::get<ReadRefusal>(read); refusal.kind == ReadRefusal::Kind::TooLarge)
        got = "too large";
    else
        got = (refusal.kind == ReadRefusal::Kind::NotAFile ? "not a file:" : "system:") +
              QString::fromStdString(refusal.reason);
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
