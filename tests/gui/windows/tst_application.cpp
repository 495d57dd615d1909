// SPDX-License-Identifier: MIT
// What the program does on its way up and at its handlers' boundary: a settings file that is no regular
// file is skipped with a note, and the program starts (a FIFO in its place would otherwise block the first
// read of the settings for ever; the test's time limit catches that); an exception of any kind stops at
// the handler.
#include "gui/runtime/unhandlederror.h"
#include "gui/windows/application.h"
#include "support/scriptedmessages.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <system_error>

#include <sys/stat.h>

using namespace tarvelin;

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void settingsFileThatIsNoFile_data();
    void settingsFileThatIsNoFile();
    void handlersCatchEveryException();
};

void TestApplication::settingsFileThatIsNoFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fifo");
    QTest::newRow("a regular file") << "Tarvelin/Tarvelin.conf" << false;
    QTest::newRow("a FIFO") << "Tarvelin/Tarvelin.conf" << true;
    QTest::newRow("a FIFO for the organisation") << "Tarvelin.conf" << true;
}

void TestApplication::settingsFileThatIsNoFile()
{
    QFETCH(QString, name);
    QFETCH(bool, fifo);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QCoreApplication::setOrganizationName(QStringLiteral("Tarvelin"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarvelin"));
    QVERIFY(QDir(home.path()).mkpath(QStringLiteral("Tarvelin")));
    const QString path = home.filePath(name);
    if (fifo)
        QCOMPARE(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
    else
        QSettings().setValue(QStringLiteral("shopSheet/step"), 32);

    const std::unique_ptr<QTemporaryDir> diverted = divertUnusableSettings();
    QCOMPARE(diverted != nullptr, fifo);
    QSettings settings;
    QCOMPARE(settings.value(QStringLiteral("shopSheet/step"), 16).toInt(), fifo ? 16 : 32);
    if (fifo)
        QVERIFY(settings.fileName().startsWith(diverted->path()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
}

// An exception that is no run-time error of the program (a thread the system would not start, memory) never
// reaches Qt's event loop: the handler's work is abandoned with a warning that says why, and the program
// goes on.
void TestApplication::handlersCatchEveryException()
{
    ScriptedMessages messages;
    bool after = false;
    runHandler(messages,
               [] { throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again)); });
    runHandler(messages, [&] { after = true; });
    QVERIFY(after);
    QCOMPARE(messages.requests.size(), std::size_t(1));
    QCOMPARE(messages.requests.front().buttons, buttons::kWarning);
    QVERIFY2(messages.requests.front().prompt.find("Resource temporarily unavailable") != std::string::npos,
             messages.requests.front().prompt.c_str());
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
