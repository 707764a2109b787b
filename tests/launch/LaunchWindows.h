#pragma once

// The windows of the tests whose launches must type only into the browser window they opened, on a real desktop.

#include "os/keys/KeySender.h"

#include <QFile>
#include <QKeyEvent>
#include <QWidget>
#include <functional>

// A window, shown and active, that appends the text of every key it receives to its log at once.
struct LoggingWindow : QWidget
{
    LoggingWindow(const QString& log, const QString& title) : logPath(log)
    {
        setWindowTitle(title);
        setFocusPolicy(Qt::StrongFocus);
        show();
        activateWindow();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        QFile log(logPath);
        if (log.open(QIODevice::Append))
            log.write(event->text().toUtf8());
    }
    bool focusNextPrevChild(bool) override { return false; } // Tab is a key to log

    QString logPath;
};

inline QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The session's own key sender, installed for its lifetime, which calls back before every send into one window only,
// given how many keys went before.
template <class Sender>
class WatchedKeySender : public Keys::KeySender
{
public:
    WatchedKeySender() { Keys::setKeySender(this); }
    ~WatchedKeySender() override { Keys::setKeySender(nullptr); }
    WatchedKeySender(const WatchedKeySender&) = delete;
    WatchedKeySender& operator=(const WatchedKeySender&) = delete;

    void send(const std::vector<Keys::KeyStroke>& strokes) override { m_keys.send(strokes); }
    bool sendOnlyInto(const std::vector<Keys::KeyStroke>& strokes, std::uint64_t window) override
    {
        if (beforeSend)
            beforeSend(m_sent);
        m_sent += strokes.size();
        return m_keys.sendOnlyInto(strokes, window);
    }

    std::function<void(std::size_t)> beforeSend;

private:
    Sender m_keys;
    std::size_t m_sent = 0;
};
