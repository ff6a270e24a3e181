#pragma once
// The serial port and the single request/reply transaction every command rests on.
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class SerialDevice;

class Link : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultPauseMs = 10;
    static constexpr int DefaultTimeoutMs = 3000;
    // A reply longer than this without its carriage return is noise, not a reply.
    static constexpr int MaxReplyBytes = 4096;

    explicit Link(QObject *parent = nullptr);
    ~Link() override;

    // The device used by the next OpenComPort; the link takes ownership.
    void setDevice(std::unique_ptr<SerialDevice> device);
    SerialDevice *device() const { return m_device.get(); }

    // reportFailure false: the caller retries at once and lets that attempt speak.
    bool OpenComPort(bool reportFailure = true);
    void CloseComPort();
    QString SendCommand(const QString &command);
    QString Transact(const QString &command);

    void IntervalTimerOn(int ms);
    void IntervalTimerOff();
    void IntervalTimerCheck(bool &flag) const;
    void IntervalTimer_Timer();
    bool TimedOut = false;

    bool isOpen() const;
    bool busy() const { return m_inTransaction; }
    // Tests shorten these to keep the suite fast; the program uses the defaults.
    void setTimings(int pauseMs, int timeoutMs);
    int pauseMs() const { return m_pauseMs; }
    int timeoutMs() const { return m_timeoutMs; }

    // The link every command operation goes through.
    static Link *current();
    static void setCurrent(Link *link);

signals:
    void comPortSelected(int comPortNo);
    void portLost(const QString &reason);
    // The outermost wait for the unit has ended: commands held back may run now.
    void waitEnded();

private:
    std::unique_ptr<SerialDevice> m_device;
    QTimer m_intervalTimer;
    int m_pauseMs = DefaultPauseMs;
    int m_timeoutMs = DefaultTimeoutMs;
    bool m_inTransaction = false;
};
