// SPDX-License-Identifier: MIT
// A settings file that is no regular file is skipped with a note, and the program starts: a FIFO in its
// place would otherwise block the first read of the settings for ever (the test's time limit catches that).
#include "gui/windows/application.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tarvelin;

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void settingsFileThatIsNoFile_data();
    void settingsFileThatIsNoFile();
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

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
