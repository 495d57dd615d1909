// SPDX-License-Identifier: MIT
#include "gui/windows/enginerun.h"

#include "core/nec/enginejob.h"

#include <QProcess>
#include <QTimer>

#include <csignal>

#include <sys/prctl.h>
#include <unistd.h>

namespace tarvelin {

namespace {

constexpr int kPollMs = 100;

QString qText(const std::string &text)
{
    return QString::fromStdString(text);
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
    return m_job ? qText(m_job->folder()) : QString();
}

bool EngineRun::running() const
{
    return !m_over && !m_children.empty();
}

void EngineRun::start()
{
    const std::optional<std::string> program = nec::findEngine();
    if (!program)
        return fail(qText(nec::engineMissingMessage()));
    auto prepared = nec::EngineJob::prepare(m_decks);
    if (const auto *message = std::get_if<std::string>(&prepared))
        return fail(qText(*message));
    m_job = std::move(std::get<std::unique_ptr<nec::EngineJob>>(prepared));

    const pid_t parent = getpid();
    for (std::size_t i = 0; i < m_decks.size(); ++i) {
        auto *child = new QProcess(this);
        child->setWorkingDirectory(qText(m_job->folder()));
        child->setProcessChannelMode(QProcess::MergedChannels);
        // The child dies with this program, even when it is killed outright.
        child->setChildProcessModifier([parent] {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent)
                ::_exit(127);
        });
        connect(child, &QProcess::finished, this, &EngineRun::childFinished);
        connect(child, &QProcess::errorOccurred, this, [this, child, path = *program](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                fail(qText(nec::engineCannotStartMessage(path, child->errorString().toStdString())));
        });
        m_children.push_back(child);
        QStringList arguments;
        for (const std::string &argument : m_job->arguments(i))
            arguments << qText(argument);
        arguments.removeFirst(); // the program's own name
        child->start(qText(*program), arguments);
    }
    m_poll = new QTimer(this);
    connect(m_poll, &QTimer::timeout, this, &EngineRun::poll);
    m_poll->start(kPollMs);
    m_limit = new QTimer(this);
    m_limit->setSingleShot(true);
    connect(m_limit, &QTimer::timeout, this,
            [this] { fail(qText(nec::engineTimeLimitMessage(m_timeLimitMs / 1000))); });
    m_limit->start(m_timeLimitMs);
}

void EngineRun::cancel()
{
    if (m_over)
        return;
    m_over = true;
    stopAll();
}

// Progress from the work actually done.
void EngineRun::poll()
{
    if (m_over || !m_job)
        return;
    emit progress(std::min(m_job->frequenciesDone(), m_frequencies), m_frequencies);
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
    std::vector<nec::ProcessEnd> ends;
    for (QProcess *child : m_children) {
        nec::ProcessEnd end;
        if (child->exitStatus() == QProcess::CrashExit) {
            // For a child ended by a signal, Qt keeps the signal as its exit code.
            end.kind = nec::ProcessEnd::Kind::Signalled;
            end.code = child->exitCode();
        } else {
            end.code = child->exitCode();
        }
        end.said = child->readAll().toStdString();
        ends.push_back(std::move(end));
    }
    auto collected = m_job->collect(ends);
    if (const auto *message = std::get_if<std::string>(&collected))
        return fail(qText(*message));
    QStringList outputs;
    for (const std::string &output : std::get<std::vector<std::string>>(collected))
        outputs << QString::fromLocal8Bit(output.data(), static_cast<qsizetype>(output.size()));
    m_over = true;
    emit progress(m_frequencies, m_frequencies);
    stopAll();
    emit finished(outputs);
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
    m_job.reset();
}

} // namespace tarvelin
