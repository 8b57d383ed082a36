// LMReportPreviewBar: the bar over a report in preview: a message and the progress of the evaluation.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

class LMReportPreviewBar : public QWidget {
    Q_OBJECT
public:
    explicit LMReportPreviewBar(QWidget *parent = nullptr);

    void setMessage(const QString &message);
    QString message() const;
    // 0 to 1; shown at once, since evaluation holds the main thread.
    void setProgress(float fraction);
    float progress() const { return m_progress; }

private:
    QLabel *m_label = nullptr;
    QProgressBar *m_bar = nullptr;
    float m_progress = 0;
};
