#pragma once

#include <QtGlobal>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Qt aborts when no platform plugin can open its display. The guard stands around the
// construction of QApplication: it holds back what is written to stderr meanwhile (Qt's
// messages among them), and on Qt's fatal message prints instead one sentence that says what is
// wrong and what to do, and ends the program with exitStatus. After a successful start it hands
// on what it held back, unchanged.
namespace DisplayGuard {

// The exit status of a program that found no display to open its window on.
inline constexpr int exitStatus = 2;

// The value of an environment variable, nothing when it is unset.
using Environment = std::function<std::optional<std::string>(const std::string &name)>;

// The platform plugins Qt tries, in order, without their options: from -platform (or
// --platform) on the command line, else QT_QPA_PLATFORM, else Qt's default order on Linux.
std::vector<std::string> platforms(const std::vector<std::string> &arguments,
                                   const Environment &environment);

// The sentence for a start in which every platform failed; `said` is what Qt and the libraries
// under it wrote while they tried. The command line's first word is the program as started,
// which the advice names.
std::string sentence(const std::vector<std::string> &arguments, const Environment &environment,
                     const std::string &said);

// The process's own environment.
std::optional<std::string> processEnvironment(const std::string &name);

class Guard
{
public:
    Guard(int argc, char **argv);
    ~Guard();
    Guard(const Guard &) = delete;
    Guard &operator=(const Guard &) = delete;

    // Qt has started: stderr is given back and what was held back is written to it.
    void release();

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message);
    [[noreturn]] void fail(const QString &message);
    std::string heldBack() const;
    void restoreStderr();

    std::vector<std::string> m_arguments;
    QtMessageHandler m_previous = nullptr;
    int m_held = -1;
    int m_savedStderr = -1;
};

} // namespace DisplayGuard
