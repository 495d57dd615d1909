// SPDX-License-Identifier: MIT
#include "ui/enginerun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

namespace tarvelin {

namespace {

constexpr int kPollMs = 100;

QString outputName(std::size_t index)
{
    return QStringLiteral("deck%1.out").arg(index);
}

} // namespace

EngineRun::EngineRun(const std::vector<std::string> &decks, int frequencies, int timeLimitMs, QObject *parent)
    : QObject(parent), m_decks(decks), m_frequencies(frequencies), m_timeLimitMs(timeLimitMs)
{
}

EngineRun::~EngineRun()
{
    stopAll();
}

QString EngineRun::folder() const
{
    return m_folder ? m_folder->path() : QString();
}

bool EngineRun::running() const
{
    return !m_over && !m_children.empty();
}

void EngineRun::start()
{
    m_folder = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("tarvelin-nec-XXXXXX")));
    if (!m_folder->isValid())
        return fail(QStringLiteral("Cannot make a temporary folder: %1").arg(m_folder->errorString()));
    for (std::size_t i = 0; i < m_decks.size(); ++i) {
        QFile deck(m_folder->filePath(QStringLiteral("deck%1.nec").arg(i)));
        if (!deck.open(QIODevice::WriteOnly) ||
            deck.write(m_decks[i].data(), static_cast<qint64>(m_decks[i].size())) != qint64(m_decks[i].size()))
            return fail(QStringLiteral("Cannot write the deck: %1").arg(deck.errorString()));
    }
    for (std::size_t i = 0; i < m_decks.size(); ++i) {
        auto *child = new QProcess(this);
        child->setWorkingDirectory(m_folder->path());
        child->setProcessChannelMode(QProcess::MergedChannels);
        connect(child, &QProcess::finished, this, &EngineRun::childFinished);
        connect(child, &QProcess::errorOccurred, this, [this, i](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                childFailed(static_cast<int>(i));
        });
        m_children.push_back(child);
        child->start(QStringLiteral("nec2c"),
                     {QStringLiteral("-ideck%1.nec").arg(i), QStringLiteral("-o") + outputName(i)});
    }
    m_poll = new QTimer(this);
    connect(m_poll, &QTimer::timeout, this, &EngineRun::poll);
    m_poll->start(kPollMs);
    m_limit = new QTimer(this);
    m_limit->setSingleShot(true);
    connect(m_limit, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("nec2c did not finish within %1 seconds and was stopped.").arg(m_timeLimitMs / 1000));
    });
    m_limit->start(m_timeLimitMs);
}

void EngineRun::cancel()
{
    if (m_over)
        return;
    m_over = true;
    stopAll();
}

// Progress from the work actually done: a frequency is finished once its pattern is in the output.
void EngineRun::poll()
{
    if (m_over)
        return;
    int done = 0;
    for (std::size_t i = 0; i < m_decks.size(); ++i) {
        QFile output(m_folder->filePath(outputName(i)));
        if (output.open(QIODevice::ReadOnly))
            done += static_cast<int>(output.readAll().count("RADIATION PATTERNS"));
    }
    emit progress(std::min(done, m_frequencies), m_frequencies);
}

void EngineRun::childFinished()
{
    if (m_over)
        return;
    for (QProcess *child : m_children) {
        if (child->state() != QProcess::NotRunning)
            return;
    }
    // Every child is done: each must have exited well, and its output is what counts.
    QStringList outputs;
    for (std::size_t i = 0; i < m_children.size(); ++i) {
        QProcess *child = m_children[i];
        if (child->exitStatus() != QProcess::NormalExit || child->exitCode() != 0) {
            const QString said = QString::fromLocal8Bit(child->readAll()).trimmed();
            return fail(
                QStringLiteral("nec2c failed: %1")
                    .arg(said.isEmpty() ? QStringLiteral("it exited with status %1").arg(child->exitCode()) : said));
        }
        QFile output(m_folder->filePath(outputName(i)));
        if (!output.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("nec2c wrote no output."));
        outputs << QString::fromLocal8Bit(output.readAll());
    }
    m_over = true;
    emit progress(m_frequencies, m_frequencies);
    stopAll();
    emit finished(outputs);
}

void EngineRun::childFailed(int)
{
    fail(QStringLiteral("The antenna check needs the NEC-2 engine nec2c, which is not installed. Install the Debian "
                        "package nec2c: sudo apt install nec2c"));
}

void EngineRun::fail(const QString &message)
{
    if (m_over)
        return;
    m_over = true;
    stopAll();
    emit failed(message);
}

// Every child stopped and reaped, the timers stopped, the folder removed.
void EngineRun::stopAll()
{
    if (m_poll)
        m_poll->stop();
    if (m_limit)
        m_limit->stop();
    for (QProcess *child : m_children) {
        disconnect(child, nullptr, this, nullptr);
        if (child->state() != QProcess::NotRunning) {
            child->kill();
            child->waitForFinished(1000); // a killed child ends at once; this only reaps it
        }
    }
    m_folder.reset();
}

} // namespace tarvelin
