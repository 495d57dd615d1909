// SPDX-License-Identifier: MIT
#include "gui/windows/check/enginerun.h"

#include "gui/runtime/qtext.h"

#include "core/nec/enginechild.h"

#include "core/nec/enginejob.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QTimer>

#include <csignal>

#include <sys/prctl.h>
#include <unistd.h>

namespace tarvelin {

EngineRun::EngineRun(QObject *parent) : QObject(parent)
{
    // Progress comes as the engines write their outputs: the folder is watched for the files they make, and
    // each file for what is written to it.
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &EngineRun::watchOutputs);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &EngineRun::reportProgress);
    m_limit = new QTimer(this);
    m_limit->setSingleShot(true);
}

EngineRun::~EngineRun()
{
    m_done = nullptr;
    stopAll();
    // Going away, this object cannot hear the killed engines end on the event loop: they are reaped here,
    // which takes no time once SIGKILL has ended them.
    for (QProcess *child : findChildren<QProcess *>(Qt::FindDirectChildrenOnly))
        child->waitForFinished(1000);
}

QString EngineRun::folder() const
{
    return m_job ? qText(m_job->folder()) : QString();
}

bool EngineRun::running() const
{
    return m_done != nullptr;
}

void EngineRun::start(const study::EngineRound &round, std::function<void(study::EngineOutputs)> done)
{
    stopAll();
    m_done = std::move(done);
    const auto found = nec::findEngine();
    if (const auto *missing = std::get_if<nec::EngineMissing>(&found))
        return end(study::EngineFailure{missing->message});
    const std::string *program = std::get_if<std::string>(&found);
    auto prepared = nec::EngineJob::prepare(round.decks);
    if (const auto *message = std::get_if<std::string>(&prepared))
        return end(study::EngineFailure{*message});
    m_job = std::move(std::get<std::unique_ptr<nec::EngineJob>>(prepared));
    m_decks = static_cast<int>(round.decks.size());
    m_watcher->addPath(qText(m_job->folder()));

    const pid_t parent = ::getpid();
    for (std::size_t i = 0; i < round.decks.size(); ++i) {
        auto *child = new QProcess(this);
        child->setWorkingDirectory(qText(m_job->folder()));
        child->setProcessChannelMode(QProcess::MergedChannels);
        // The child leads a group of its own, and dies with this program, even when it is killed outright.
        child->setChildProcessModifier([parent] { nec::becomeEngineChild(parent); });
        connect(child, &QProcess::finished, this, &EngineRun::childFinished);
        connect(child, &QProcess::errorOccurred, this, [this, child, path = *program](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                end(study::EngineFailure{nec::engineCannotStartMessage(path, child->errorString().toStdString())});
        });
        m_children.push_back(child);
        QStringList arguments;
        for (const std::string &argument : m_job->arguments(i))
            arguments << qText(argument);
        arguments.removeFirst(); // the program's own name
        child->start(qText(*program), arguments);
        if (!m_done)
            return; // it could not start, and the round has ended
    }
    watchOutputs();
    const auto seconds = static_cast<int>(round.timeLimit.count());
    disconnect(m_limit, nullptr, this, nullptr);
    connect(m_limit, &QTimer::timeout, this, [this, seconds] {
        end(study::EngineFailure{nec::engineTimeLimitMessage(seconds), true});
    });
    m_limit->start(seconds * 1000);
}

void EngineRun::cancel()
{
    m_done = nullptr;
    stopAll();
}

// Every file in the round's folder, as the engines make their outputs there.
void EngineRun::watchOutputs()
{
    if (!m_job)
        return;
    const QDir folder(qText(m_job->folder()));
    QStringList files;
    for (const QString &name : folder.entryList(QDir::Files))
        files << folder.filePath(name);
    const QStringList watched = m_watcher->files();
    files.removeIf([&watched](const QString &file) { return watched.contains(file); });
    if (!files.isEmpty())
        m_watcher->addPaths(files);
    reportProgress();
}

// Progress from the work actually done.
void EngineRun::reportProgress()
{
    if (m_job)
        emit progress(m_job->frequenciesDone());
}

void EngineRun::childFinished()
{
    if (!m_done)
        return;
    for (QProcess *child : m_children) {
        if (child->state() != QProcess::NotRunning)
            return;
    }
    // Every child is done: each must have exited well, and its output is what counts.
    std::vector<nec::ProcessEnd> ends;
    for (QProcess *child : m_children) {
        nec::ProcessEnd ended;
        // For a child ended by a signal, Qt keeps the signal as its exit code.
        if (child->exitStatus() == QProcess::CrashExit)
            ended.kind = nec::ProcessEnd::Kind::Signalled;
        ended.code = child->exitCode();
        ended.said = child->readAll().toStdString();
        ends.push_back(std::move(ended));
    }
    auto collected = m_job->collect(ends);
    if (auto *message = std::get_if<std::string>(&collected))
        return end(study::EngineFailure{std::move(*message)});
    emit progress(m_job->frequenciesDone());
    end(std::get<std::vector<std::string>>(std::move(collected)));
}

// The round's one answer: every engine stopped and the folder gone before the study hears it.
void EngineRun::end(study::EngineOutputs outputs)
{
    if (!m_done)
        return;
    const std::function<void(study::EngineOutputs)> done = std::move(m_done);
    m_done = nullptr;
    stopAll();
    done(std::move(outputs));
}

// Every child stopped with whatever it started, and reaped as it ends, which a killed child does at once: the
// event loop never waits for it. The watch and the limit stopped, the folder removed.
void EngineRun::stopAll()
{
    m_limit->stop();
    if (const QStringList watched = m_watcher->files() + m_watcher->directories(); !watched.isEmpty())
        m_watcher->removePaths(watched);
    for (QProcess *child : m_children) {
        disconnect(child, nullptr, this, nullptr);
        if (child->state() == QProcess::NotRunning) {
            child->deleteLater();
            continue;
        }
        connect(child, &QProcess::finished, child, &QObject::deleteLater);
        // The group's leader is alive, so the group is still this engine's own.
        if (const qint64 pid = child->processId(); pid > 0)
            ::kill(-static_cast<pid_t>(pid), SIGKILL);
        child->kill();
    }
    m_children.clear();
    m_job.reset();
}

} // namespace tarvelin
