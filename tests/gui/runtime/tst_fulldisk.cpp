// SPDX-License-Identifier: MIT
// Saves and engine runs on a small file system that is full: a failed save leaves the file it would have
// replaced as it was and says why, and a check whose folder is full says so. The file system is a tmpfs
// mounted for the test, which needs root; elsewhere these tests are skipped.
#include "core/nec/enginejob.h"
#include "core/runtime/filewrite.h"
#include "gui/runtime/pdffileprinter.h"
#include "gui/runtime/printer.h"
#include "support/scriptedmessages.h"
#include "gui/windows/userfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarvelin;

class TestFullDisk : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void saveKeepsTheOldFile_data();
    void saveKeepsTheOldFile();
    void engineFolderFull();

private:
    void fill();

    QTemporaryDir m_mountPoint;
    bool m_mounted = false;
};

void TestFullDisk::init()
{
    if (::geteuid() != 0)
        QSKIP("mounting a full file system needs root");
    QVERIFY(m_mountPoint.isValid());
    QCOMPARE(::mount("tmpfs", m_mountPoint.path().toLocal8Bit().constData(), "tmpfs", 0, "size=64k"), 0);
    m_mounted = true;
}

void TestFullDisk::cleanup()
{
    if (m_mounted)
        ::umount(m_mountPoint.path().toLocal8Bit().constData());
    m_mounted = false;
}

// Every block taken but what a few small files need.
void TestFullDisk::fill()
{
    QFile filler(m_mountPoint.filePath(QStringLiteral("filler")));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
}

void TestFullDisk::saveKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("saver");
    QTest::addColumn<bool>("replacing");
    for (const char *saver : {"window", "pdf file"}) {
        QTest::addRow("%s, replacing a file", saver) << QString::fromLatin1(saver) << true;
        QTest::addRow("%s, a new file", saver) << QString::fromLatin1(saver) << false;
    }
}

// The windows' saves (sheet, deck, report) and the main window's Save as PDF.
void TestFullDisk::saveKeepsTheOldFile()
{
    QFETCH(QString, saver);
    QFETCH(bool, replacing);
    const QString path = m_mountPoint.filePath(QStringLiteral("old.pdf"));
    if (replacing) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("OLD") == 3);
    }
    fill();
    const QByteArray contents(8 * 1024, 'n'); // within what a buffered writer holds back until it closes
    QString reason;
    if (saver == QStringLiteral("window")) {
        ScriptedMessages messages;
        QVERIFY(!saveWholeFile(messages, path, contents, QStringLiteral("PDF"), QStringLiteral("empty")));
        QCOMPARE(messages.requests.size(), std::size_t(1));
        reason = QString::fromStdString(messages.requests.front().prompt);
    } else {
        PdfFilePrinter file(path);
        PrintOutcome outcome;
        file.printDocument({}, {}, contents, 1, [&outcome](const PrintOutcome &written) { outcome = written; });
        QCOMPARE(outcome.status, PrintOutcome::Status::Failed);
        reason = QString::fromStdString(outcome.reason);
    }
    QVERIFY2(reason.contains(QStringLiteral("No space left on device")), qPrintable(reason));
    QFile after(path);
    if (replacing) {
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), QByteArray("OLD"));
    } else {
        QVERIFY(!after.exists());
    }
    // No half-written file is left beside it either.
    QCOMPARE(QDir(m_mountPoint.path()).entryList(QDir::Files | QDir::Hidden).size(), replacing ? 2 : 1);
}

void TestFullDisk::engineFolderFull()
{
    fill();
    qputenv("TMPDIR", m_mountPoint.path().toLocal8Bit());
    auto prepared = nec::EngineJob::prepare({std::string(64 * 1024, 'C')});
    qunsetenv("TMPDIR");
    QVERIFY(std::holds_alternative<std::string>(prepared));
    const QString message = QString::fromStdString(std::get<std::string>(prepared));
    QVERIFY2(message.startsWith(QStringLiteral("The temporary folder ") + m_mountPoint.path() + " is full"),
             qPrintable(message));
    QCOMPARE(QDir(m_mountPoint.path(), QStringLiteral("tarvelin-nec-*")).entryList(QDir::Dirs), QStringList());
}

QTEST_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
