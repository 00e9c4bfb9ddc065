#include "terminationsignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// [0] is written by the handler, [1] read by the notifier.
int signalPair[2] = {-1, -1};

void onSignal(int signalNumber)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // Non-blocking: with the pair full a signal is already on its way.
    [[maybe_unused]] const ssize_t written = ::write(signalPair[0], &number, 1);
    errno = saved;
}
} // namespace

TerminationSignals::TerminationSignals(std::initializer_list<int> signalNumbers, QObject *parent)
    : QObject(parent), m_signals(signalNumbers)
{
    if (signalPair[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalPair) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // A system call the signal interrupts goes on: the program ends by its
    // own steps, not by a failed read somewhere.
    action.sa_flags = SA_RESTART;
    for (const int number : m_signals)
        ::sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    restoreDefaults();
    delete m_notifier;
    ::close(signalPair[0]);
    ::close(signalPair[1]);
    signalPair[0] = signalPair[1] = -1;
}

void TerminationSignals::restoreDefaults()
{
    for (const int number : m_signals)
        ::signal(number, SIG_DFL);
}

void TerminationSignals::readSignal()
{
    unsigned char number = 0;
    // A second request while the first is being carried out changes nothing.
    if (::read(signalPair[1], &number, 1) == 1)
        Q_EMIT received(number);
}
