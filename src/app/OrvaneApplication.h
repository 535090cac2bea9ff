#pragma once

#include <QApplication>

namespace app {

// The application object with the application-wide exception handler: an exception that
// reaches the event loop is appended to exceptions.log and nothing is shown. Until the handler
// is installed (after the login) an exception ends the program as usual. While it lives, the
// message service shows message boxes.
class OrvaneApplication : public QApplication {
    Q_OBJECT
public:
    OrvaneApplication(int& argc, char** argv);
    ~OrvaneApplication() override;

    void installExceptionHandler() { m_handlerInstalled = true; }

    bool notify(QObject* receiver, QEvent* event) override;

    // Errors that travelled through Qt to this handler: every user action is guarded, so each
    // one is a fault of the program (the tests of a day's work count them).
    int escapedErrors() const { return m_escaped; }

private:
    bool m_handlerInstalled = false;
    int m_escaped = 0;
};

} // namespace app
