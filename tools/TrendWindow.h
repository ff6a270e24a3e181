#pragma once
// The trend: the live channel values of the page shown, plotted against time.
// Samples are kept as rows (one per reading pass), bounded in age and in count.
#include <QPointer>
#include <QTimer>
#include <QVector>
#include <QWidget>
#include <deque>
#include <functional>

#include "pages/Page.h"
class QComboBox;
class QLabel;
class QPushButton;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

class TrendWindow : public QWidget {
    Q_OBJECT
  public:
    struct Row {
        qint64 atMs = 0;        // time of the row's first sample, ms since the epoch
        QVector<double> values; // by channel; NaN where the pass brought no value
    };

    // Nothing older than the longest time window is kept.
    static constexpr qint64 KeepMs = 3600 * 1000;
    // Over this many rows the older half of the history is thinned to every second row.
    static constexpr int DefaultMaxRows = 20000;
    static constexpr int MaxChannels = 64;
    // Per channel and redraw: denser data is drawn as the minimum and maximum of each bucket.
    static constexpr int MaxPlotPoints = 1200;
    static constexpr int RedrawMs = 1000;

    explicit TrendWindow(QWidget *parent = nullptr);
    ~TrendWindow() override;

    // Follows this page's live values while the window is open; a different page starts afresh.
    void setPage(Page *page);
    Page *page() const { return m_page; }
    // Milliseconds since the epoch; tests and the bench inject a clock of their own.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    void setMaxRows(int n) { m_maxRows = qMax(16, n); }

    void addSample(int channel, double value);
    const std::deque<Row> &rows() const { return m_rows; }
    int channelCount() const { return m_channels; }
    static QString caption(int channel) { return QStringLiteral("CH %1").arg(channel); }

    // The time windows offered: 1 min, 10 min, 1 h.
    static QList<qint64> windows() { return {60 * 1000, 600 * 1000, 3600 * 1000}; }
    qint64 windowMs() const;
    void setWindowIndex(int i);

    bool isPaused() const { return m_paused; }
    void setPaused(bool paused);
    void clear();
    // Redraws now (a timer does this every RedrawMs while samples arrive).
    void redraw();

    // One row per sample time, one column per channel.
    QString csv() const;
    bool saveCsv(const QString &path) const;
    // Asks for a file name through the UI seam; false when cancelled or failed.
    co::Task<bool> exportCsv();

    QChart *chart() const { return m_chart; }
    QList<QLineSeries *> series() const { return m_series; }

    // Controls, by name.
    QComboBox *cmbWindow;
    QPushButton *btnPause, *btnClear, *btnExport;
    QLabel *lblStatus;
    QChartView *chartView;

  signals:
    // Opened, or closed by the person (not merely minimised).
    void openChanged(bool open);

  public:
    // Open (not merely on screen): it records exactly while the person has it open.
    void setVisible(bool visible) override;

  private:
    void listen(bool on);
    void prune(qint64 now);
    void ensureSeries(int channels);
    void updateStatus();

    QPointer<Page> m_page;
    QMetaObject::Connection m_connection;
    std::deque<Row> m_rows;
    int m_channels = 0;
    int m_maxRows = DefaultMaxRows;
    bool m_paused = false;
    bool m_dirty = false;
    QTimer m_redrawTimer;
    std::function<qint64()> m_clock;
    QChart *m_chart;
    QDateTimeAxis *m_axisX;
    QValueAxis *m_axisY;
    QList<QLineSeries *> m_series;
};
