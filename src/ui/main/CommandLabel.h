#pragma once

#include <QLabel>

// A text label that acts as a command: it is clicked like a button and reports the pointer moving over
// it. Its caption may mark an access key with "&", shown underlined.
class CommandLabel : public QLabel
{
    Q_OBJECT

public:
    CommandLabel(const QString& caption, QWidget* parent);

    const QString& caption() const { return m_caption; }
    // The text colour, as &H00BBGGRR&.
    void setForeColor(unsigned int bgr);
    unsigned int foreColor() const { return m_foreColor; }

signals:
    void clicked();
    void mouseMoved();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QString m_caption;
    unsigned int m_foreColor = 0;
};

// A colour written as &H00BBGGRR&.
QColor colorFromBgr(unsigned int bgr);
