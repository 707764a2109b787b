#include "ui/main/CommandLabel.h"

#include <QMouseEvent>

namespace {

// "&Launch" shows as Launch with the L underlined; "&&" stands for one ampersand.
QString richCaption(const QString& caption)
{
    QString html;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
            if (caption.at(i) != QLatin1Char('&')) {
                html += QStringLiteral("<u>%1</u>").arg(QString(caption.at(i)).toHtmlEscaped());
                continue;
            }
        }
        html += QString(caption.at(i)).toHtmlEscaped();
    }
    return html;
}

} // namespace

QColor colorFromBgr(unsigned int bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

CommandLabel::CommandLabel(const QString& caption, QWidget* parent) : QLabel(parent), m_caption(caption)
{
    setTextFormat(Qt::RichText);
    setText(richCaption(caption));
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void CommandLabel::setForeColor(unsigned int bgr)
{
    m_foreColor = bgr;
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colorFromBgr(bgr));
    setPalette(palette);
}

void CommandLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void CommandLabel::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved();
    QLabel::mouseMoveEvent(event);
}
