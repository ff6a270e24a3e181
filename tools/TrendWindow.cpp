#include "tools/TrendWindow.h"
#include "tools/SaveAs.h"
#include "core/Ui.h"
#include "pages/Widgets.h"
#include "pages/Page.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

} // namespace

TrendWindow::TrendWindow(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmTrend");
    setWindowTitle("Trend");
    m_clock = [] { return QDateTime::currentMSecsSinceEpoch(); };

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 6);
    auto *row = new QHBoxLayout;
    auto *lbl = new QLabel("Time window", this);
    cmbWindow = new QComboBox(this);
    cmbWindow->setObjectName("cmbWindow");
    cmbWindow->setAccessibleName("Time window");
    cmbWindow->addItems({"1 min", "10 min", "1 h"});
    lbl->setBuddy(cmbWindow);
    btnPause = MakeButton(this, "btnPause", "Pause");
    btnPause->setCheckable(true);
    btnPause->setToolTip("Freeze the plot; samples are still recorded");
    btnClear = MakeButton(this, "btnClear", "Clear");
    btnExport = MakeButton(this, "btnExport", "Export CSV...");
    lblStatus = new QLabel(this);
    lblStatus->setObjectName("lblStatus");
    row->addWidget(lbl);
    row->addWidget(cmbWindow);
    row->addWidget(btnPause);
    row->addWidget(btnClear);
    row->addWidget(btnExport);
    row->addStretch();
    row->addWidget(lblStatus);
    v->addLayout(row);

    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignRight);
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_axisX = new QDateTimeAxis(m_chart);
    m_axisX->setFormat("HH:mm:ss");
    m_axisX->setTitleText("Time");
    m_axisY = new QValueAxis(m_chart);
    m_axisY->setTitleText("Value");
    m_axisY->setLabelFormat("%g");
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
    chartView = new QChartView(m_chart, this);
    chartView->setObjectName("chartView");
    chartView->setRenderHint(QPainter::Antialiasing, false);
    v->addWidget(chartView, 1);
    resize(760, 440);

    m_redrawTimer.setSingleShot(true);
    m_redrawTimer.setInterval(RedrawMs);
    connect(&m_redrawTimer, &QTimer::timeout, this, &TrendWindow::redraw);
    connect(cmbWindow, &QComboBox::currentIndexChanged, this, [this] { redraw(); });
    connect(btnPause, &QPushButton::toggled, this, &TrendWindow::setPaused);
    connect(btnClear, &QPushButton::clicked, this, &TrendWindow::clear);
    connect(btnExport, &QPushButton::clicked, this, [this] { co::Start(exportCsv()); });
    redraw();
}

TrendWindow::~TrendWindow() {
    listen(false);
}

void TrendWindow::setPage(Page *page) {
    if (page == m_page) return;
    const bool on = bool(m_connection);
    listen(false);
    m_page = page;
    clear();
    if (on || !isHidden()) listen(true);
}

void TrendWindow::listen(bool on) {
    if (!on) {
        disconnect(m_connection);
        m_connection = {};
        return;
    }
    if (m_page && !m_connection)
        m_connection = connect(m_page, &Page::liveValue, this, &TrendWindow::addSample);
}

void TrendWindow::setVisible(bool visible) {
    const bool was = !isHidden();
    QWidget::setVisible(visible);
    const bool open = !isHidden();
    listen(open);
    if (open == was) return;
    if (open) redraw();
    emit openChanged(open);
}

void TrendWindow::addSample(int channel, double value) {
    if (channel < 0 || channel >= MaxChannels) return;
    const qint64 now = m_clock();
    if (channel >= m_channels) {
        m_channels = channel + 1;
        for (Row &r : m_rows)
            r.values.resize(m_channels, NoValue);
    }
    // A channel seen again starts the next pass's row.
    if (m_rows.empty() || !std::isnan(m_rows.back().values[channel])) {
        m_rows.push_back({now, QVector<double>(m_channels, NoValue)});
        prune(now);
    }
    m_rows.back().values[channel] = value;
    m_dirty = true;
    if (!m_paused && !m_redrawTimer.isActive()) m_redrawTimer.start();
}

void TrendWindow::prune(qint64 now) {
    while (!m_rows.empty() && m_rows.front().atMs < now - KeepMs)
        m_rows.pop_front();
    if (int(m_rows.size()) <= m_maxRows) return;
    // Thin the older half to every second row: the recent past keeps its full resolution.
    const size_t half = m_rows.size() / 2;
    std::deque<Row> kept;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (i >= half || i % 2 == 0) kept.push_back(std::move(m_rows[i]));
    m_rows.swap(kept);
}

qint64 TrendWindow::windowMs() const {
    return windows().value(cmbWindow->currentIndex(), windows().first());
}

void TrendWindow::setWindowIndex(int i) {
    cmbWindow->setCurrentIndex(i);
}

void TrendWindow::setPaused(bool paused) {
    m_paused = paused;
    if (btnPause->isChecked() != paused) btnPause->setChecked(paused);
    btnPause->setText(paused ? "Resume" : "Pause");
    if (!paused) redraw();
}

void TrendWindow::clear() {
    m_rows.clear();
    m_channels = 0;
    for (QLineSeries *s : std::as_const(m_series)) {
        m_chart->removeSeries(s);
        delete s;
    }
    m_series.clear();
    m_dirty = true;
    redraw();
}

void TrendWindow::ensureSeries(int channels) {
    while (m_series.size() < channels) {
        auto *s = new QLineSeries;
        s->setName(caption(int(m_series.size())));
        m_chart->addSeries(s);
        s->attachAxis(m_axisX);
        s->attachAxis(m_axisY);
        m_series.append(s);
    }
}

void TrendWindow::redraw() {
    m_redrawTimer.stop();
    updateStatus();
    if (m_paused && !m_rows.empty()) return;
    const qint64 now = m_clock();
    const qint64 from = now - windowMs();
    m_axisX->setFormat(windowMs() > 600 * 1000 ? "HH:mm" : "HH:mm:ss");
    m_axisX->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(now));
    if (!m_dirty && m_series.size() == m_channels) return;
    m_dirty = false;
    ensureSeries(m_channels);
    const auto first = std::lower_bound(m_rows.begin(), m_rows.end(), from,
                                        [](const Row &r, qint64 t) { return r.atMs < t; });
    const qint64 count = m_rows.end() - first;
    // Rows per bucket; each bucket is drawn as its minimum and maximum, in time order.
    const qint64 perBucket = qMax<qint64>(1, (count + MaxPlotPoints / 2 - 1) / (MaxPlotPoints / 2));
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (int ch = 0; ch < m_channels; ++ch) {
        QList<QPointF> pts;
        pts.reserve(qMin<qint64>(count, MaxPlotPoints) + 2);
        for (auto it = first; it != m_rows.end();) {
            const auto end = (m_rows.end() - it) > perBucket ? it + perBucket : m_rows.end();
            const Row *mn = nullptr, *mx = nullptr;
            for (auto r = it; r != end; ++r) {
                const double x = r->values[ch];
                if (std::isnan(x)) continue;
                if (!mn || x < mn->values[ch]) mn = &*r;
                if (!mx || x > mx->values[ch]) mx = &*r;
            }
            if (mn) {
                const Row *a = mn->atMs <= mx->atMs ? mn : mx, *b = a == mn ? mx : mn;
                pts.append(QPointF(double(a->atMs), a->values[ch]));
                if (b != a) pts.append(QPointF(double(b->atMs), b->values[ch]));
                lo = qMin(lo, mn->values[ch]);
                hi = qMax(hi, mx->values[ch]);
            }
            it = end;
        }
        m_series[ch]->replace(pts);
    }
    if (lo > hi) lo = 0, hi = 1;
    const double pad = hi > lo ? (hi - lo) * 0.05 : qMax(1.0, std::abs(hi) * 0.05);
    m_axisY->setRange(lo - pad, hi + pad);
    m_axisY->applyNiceNumbers();
}

void TrendWindow::updateStatus() {
    lblStatus->setText(
        m_page ? QStringLiteral("%1 channels, %2 passes recorded").arg(m_channels).arg(m_rows.size())
               : QStringLiteral("No page with live values"));
}

QString TrendWindow::csv() const {
    QString s = "Time";
    for (int ch = 0; ch < m_channels; ++ch)
        s += ',' + caption(ch);
    s += "\r\n";
    for (const Row &r : m_rows) {
        s += QDateTime::fromMSecsSinceEpoch(r.atMs).toString("yyyy-MM-dd HH:mm:ss.zzz");
        for (int ch = 0; ch < m_channels; ++ch) {
            s += ',';
            const double x = ch < r.values.size() ? r.values[ch] : NoValue;
            if (!std::isnan(x)) s += QString::number(x, 'g', 12);
        }
        s += "\r\n";
    }
    return s;
}

bool TrendWindow::saveCsv(const QString &path) const { return WriteWhole(path, csv().toUtf8()); }

co::Task<bool> TrendWindow::exportCsv() {
    co_return co_await SaveAs(this, "CSV files (*.csv);;All files (*)", "vireo-trend.csv", [this] { return csv().toUtf8(); },
                              "The samples could not be saved to %1.");
}
