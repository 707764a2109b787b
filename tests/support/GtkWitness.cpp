#include "support/GtkWitness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A window that holds a long text may take this long to answer while keys still arrive.
constexpr int AnswerTimeoutMs = 10000;

} // namespace

GtkWitness::GtkWitness()
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(QUILLOCK_GTK_WITNESS)});
}

GtkWitness::~GtkWitness()
{
    m_process.closeWriteChannel(); // the window's cue to end
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

std::optional<GtkWitness::State> GtkWitness::state()
{
    if (m_process.state() != QProcess::Running || m_process.write("?\n") != 2)
        return std::nullopt;
    QByteArray line;
    for (QDeadlineTimer deadline(AnswerTimeoutMs); !line.endsWith('\n');) {
        if (!m_process.bytesAvailable() && !m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return std::nullopt;
        line += m_process.readLine();
    }
    const QJsonObject answer = QJsonDocument::fromJson(line).object();
    return State{answer[QStringLiteral("focused")].toBool(), answer[QStringLiteral("text")].toString(),
                 answer[QStringLiteral("ms")].toDouble()};
}

bool GtkWitness::waitForFocus(int timeoutMs)
{
    for (QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired();) {
        if (const std::optional<State> now = state(); now && now->focused)
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return false;
}
