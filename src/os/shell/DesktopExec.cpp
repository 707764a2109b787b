#include "os/shell/DesktopExec.h"

namespace Desktop {
namespace {

bool isFileOrLinkCode(char code)
{
    return code == 'f' || code == 'F' || code == 'u' || code == 'U';
}

bool isQuotedEscape(char c)
{
    return c == '"' || c == '`' || c == '$' || c == '\\';
}

// Splits Exec into arguments, putting the argument in place of its field codes.
class ExecParser
{
public:
    ExecParser(const std::string& exec, const std::string& argument) : m_exec(exec), m_argument(argument) {}

    std::vector<std::string> parse()
    {
        bool quoted = false;
        for (std::size_t i = 0; i < m_exec.size(); ++i) {
            const char c = m_exec[i];
            if (quoted && c == '\\' && i + 1 < m_exec.size() && isQuotedEscape(m_exec[i + 1])) {
                append(m_exec[++i]);
            } else if (c == '"') {
                quoted = !quoted;
                m_started = true; // "" is an argument, if an empty one
            } else if (c == '%' && i + 1 < m_exec.size()) {
                fieldCode(m_exec[++i]);
            } else if (!quoted && (c == ' ' || c == '\t' || c == '\n')) {
                endArgument();
            } else {
                append(c);
            }
        }
        endArgument();
        if (quoted || m_arguments.empty())
            return {};
        if (!m_placedArgument)
            m_arguments.push_back(m_argument);
        return m_arguments;
    }

private:
    void append(char c)
    {
        m_current += c;
        m_started = true;
    }

    void fieldCode(char code)
    {
        if (code == '%') {
            append('%');
        } else if (isFileOrLinkCode(code)) {
            m_current += m_argument;
            m_started = true;
            m_placedArgument = true;
        }
    }

    void endArgument()
    {
        if (m_started)
            m_arguments.push_back(m_current);
        m_current.clear();
        m_started = false;
    }

    const std::string& m_exec;
    const std::string& m_argument;
    std::vector<std::string> m_arguments;
    std::string m_current;
    bool m_started = false;
    bool m_placedArgument = false;
};

} // namespace

std::vector<std::string> execCommandLine(const std::string& exec, const std::string& argument)
{
    return ExecParser(exec, argument).parse();
}

} // namespace Desktop
