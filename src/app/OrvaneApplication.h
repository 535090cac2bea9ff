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

private:
    bool m_handlerInstalled = false;
};

} // namespace app
