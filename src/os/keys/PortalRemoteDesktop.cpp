#include "os/keys/PortalRemoteDesktop.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <utility>
#include <variant>
#include <vector>

namespace Keys {
namespace {

constexpr const char* PortalName = "org.freedesktop.portal.Desktop";
constexpr const char* PortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* RemoteDesktop = "org.freedesktop.portal.RemoteDesktop";
constexpr std::uint32_t KeyboardDevice = 1;
constexpr std::uint32_t PersistUntilRevoked = 2;
// Answers that never involve the user: a portal that takes longer is taken as absent or stuck.
constexpr std::uint64_t QuestionTimeoutUs = 2'000'000;
// How long one wait for the user's answer lasts before the program's event loop runs again.
constexpr std::uint64_t WaitSliceUs = 20'000;

const std::string NotAllowed = "The desktop did not allow Quillock to type: ";

// Responses of a portal request.
constexpr std::uint32_t Granted = 0;
constexpr std::uint32_t Refused = 1;

struct BusError
{
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ~BusError() { sd_bus_error_free(&error); }
    BusError() = default;
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;

    // The bus's explanation, else the system's for the error number.
    std::string text(int result) const { return error.message ? error.message : std::strerror(-result); }
};

struct MessageUnref
{
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using Message = std::unique_ptr<sd_bus_message, MessageUnref>;

struct SlotUnref
{
    void operator()(sd_bus_slot* slot) const { sd_bus_slot_unref(slot); }
};
using Slot = std::unique_ptr<sd_bus_slot, SlotUnref>;

struct BusUnref
{
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
using BusHandle = std::unique_ptr<sd_bus, BusUnref>;

using Options = std::vector<std::pair<const char*, std::variant<std::string, std::uint32_t>>>;

int appendOptions(sd_bus_message* message, const Options& options)
{
    int result = sd_bus_message_open_container(message, 'a', "{sv}");
    for (const auto& [key, value] : options) {
        if (result < 0)
            return result;
        if (const std::string* text = std::get_if<std::string>(&value))
            result = sd_bus_message_append(message, "{sv}", key, "s", text->c_str());
        else
            result = sd_bus_message_append(message, "{sv}", key, "u", std::get<std::uint32_t>(value));
    }
    return result < 0 ? result : sd_bus_message_close_container(message);
}

BusHandle openSessionBus(std::string& why)
{
    sd_bus* bus = nullptr;
    if (const int result = sd_bus_open_user(&bus); result < 0) {
        why = "the session bus cannot be reached (" + std::string(std::strerror(-result)) + ")";
        return nullptr;
    }
    sd_bus_set_method_call_timeout(bus, QuestionTimeoutUs);
    return BusHandle(bus);
}

std::uint32_t remoteDesktopProperty(sd_bus* bus, const char* name, std::string& why)
{
    BusError error;
    std::uint32_t value = 0;
    const int result =
        sd_bus_get_property_trivial(bus, PortalName, PortalPath, RemoteDesktop, name, &error.error, 'u', &value);
    if (result < 0)
        why = "the desktop portal offers no remote desktop (" + error.text(result) + ")";
    return value;
}

} // namespace

// A request's answer: its response code and the results that the session needs, strings and numbers.
struct PortalRemoteDesktop::Response
{
    bool answered = false;
    std::uint32_t code = 2;
    std::map<std::string, std::string> strings;
    std::map<std::string, std::uint32_t> numbers;

    static int take(sd_bus_message* signal, void* response, sd_bus_error*)
    {
        static_cast<Response*>(response)->read(signal);
        return 0;
    }

private:
    // A malformed answer counts as a failed request.
    void read(sd_bus_message* signal)
    {
        answered = true;
        int result = sd_bus_message_read(signal, "u", &code);
        if (result >= 0)
            result = sd_bus_message_enter_container(signal, 'a', "{sv}");
        while (result >= 0 && (result = sd_bus_message_enter_container(signal, 'e', "sv")) > 0) {
            const char* key = nullptr;
            const char* contents = nullptr;
            char type = 0;
            result = sd_bus_message_read(signal, "s", &key);
            if (result >= 0)
                result = sd_bus_message_peek_type(signal, &type, &contents);
            if (result < 0)
                break;
            if (contents && std::strcmp(contents, "s") == 0) {
                const char* text = nullptr;
                result = sd_bus_message_read(signal, "v", "s", &text);
                if (result >= 0)
                    strings[key] = text;
            } else if (contents && std::strcmp(contents, "u") == 0) {
                std::uint32_t number = 0;
                result = sd_bus_message_read(signal, "v", "u", &number);
                if (result >= 0)
                    numbers[key] = number;
            } else {
                result = sd_bus_message_skip(signal, "v");
            }
            if (result >= 0)
                result = sd_bus_message_exit_container(signal);
        }
        if (result < 0)
            code = 2;
    }
};

std::string PortalRemoteDesktop::unavailableReason()
{
    std::string why;
    const BusHandle bus = openSessionBus(why);
    if (!bus)
        return why;
    const std::uint32_t devices = remoteDesktopProperty(bus.get(), "AvailableDeviceTypes", why);
    if (why.empty() && !(devices & KeyboardDevice))
        why = "the desktop portal's remote desktop offers no keyboard";
    return why;
}

PortalRemoteDesktop::PortalRemoteDesktop()
{
    std::string why;
    m_bus = openSessionBus(why).release();
    if (!m_bus)
        throw KeySendError("Keystrokes cannot be sent: " + why + ".");
    const char* unique = nullptr;
    if (const int result = sd_bus_get_unique_name(m_bus, &unique); result < 0) {
        sd_bus_flush_close_unref(m_bus);
        throw KeySendError("Keystrokes cannot be sent: the session bus did not answer (" +
                           std::string(std::strerror(-result)) + ").");
    }
    for (const char* c = unique + 1; *c; ++c) // the portal drops the colon and writes dots as underscores
        m_sender += *c == '.' ? '_' : *c;
}

PortalRemoteDesktop::~PortalRemoteDesktop()
{
    closeSession();
    sd_bus_flush_close_unref(m_bus);
}

bool PortalRemoteDesktop::isStarted()
{
    // Takes in the notices that came meanwhile: the user may have stopped the session from the desktop.
    while (sd_bus_process(m_bus, nullptr) > 0) {
    }
    if (m_closedByDesktop) {
        m_sessionClosed = sd_bus_slot_unref(m_sessionClosed);
        m_session.clear();
        m_closedByDesktop = false;
    }
    return !m_session.empty();
}

std::string PortalRemoteDesktop::nextToken()
{
    return "quillock" + std::to_string(++m_tokens);
}

void PortalRemoteDesktop::start(const Preparation& preparation)
{
    if (isStarted())
        return;
    std::string why;
    const std::uint32_t version = remoteDesktopProperty(m_bus, "version", why);
    if (!why.empty())
        throw KeySendError("Keystrokes cannot be sent: " + why + ".");

    const auto newCall = [this](const char* method) {
        sd_bus_message* call = nullptr;
        sd_bus_message_new_method_call(m_bus, &call, PortalName, PortalPath, RemoteDesktop, method);
        return Message(call);
    };
    const auto failed = [](const char* step) {
        return KeySendError("Keystrokes cannot be sent: the desktop portal's remote desktop could not be " +
                            std::string(step) + ".");
    };

    std::string token = nextToken();
    Message create = newCall("CreateSession");
    if (!create || appendOptions(create.get(), {{"handle_token", token}, {"session_handle_token", token}}) < 0)
        throw failed("asked for a session");
    const Response created = request(create.get(), token, preparation);
    const auto session = created.strings.find("session_handle");
    if (created.code != Granted || session == created.strings.end())
        throw failed("opened");
    m_session = session->second;
    // The desktop closes the session when the user stops it.
    sd_bus_match_signal(
        m_bus, &m_sessionClosed, PortalName, m_session.c_str(), "org.freedesktop.portal.Session", "Closed",
        [](sd_bus_message*, void* closed, sd_bus_error*) {
            *static_cast<bool*>(closed) = true;
            return 0;
        },
        &m_closedByDesktop);

    try {
        token = nextToken();
        Options devices{{"handle_token", token}, {"types", KeyboardDevice}};
        std::string saved;
        if (version >= 2) { // the portal keeps the consent: until the user revokes it
            devices.emplace_back("persist_mode", PersistUntilRevoked);
            saved = preparation.savedPermission ? preparation.savedPermission() : std::string();
            if (!saved.empty())
                devices.emplace_back("restore_token", saved);
        }
        Message select = newCall("SelectDevices");
        if (!select || sd_bus_message_append(select.get(), "o", m_session.c_str()) < 0 ||
            appendOptions(select.get(), devices) < 0)
            throw failed("asked for the keyboard");
        if (request(select.get(), token, preparation).code != Granted)
            throw failed("given the keyboard");

        token = nextToken();
        Message startCall = newCall("Start");
        if (!startCall || sd_bus_message_append(startCall.get(), "os", m_session.c_str(), "") < 0 ||
            appendOptions(startCall.get(), {{"handle_token", token}}) < 0)
            throw failed("started");
        const Response started = request(startCall.get(), token, preparation);
        if (started.code == Refused)
            throw KeySendError(NotAllowed + "the request to type was refused.");
        if (started.code != Granted)
            throw KeySendError(NotAllowed + "the request to type was closed without an answer, or failed.");
        const auto granted = started.numbers.find("devices");
        if (granted == started.numbers.end() || !(granted->second & KeyboardDevice))
            throw KeySendError(NotAllowed + "the keyboard was not shared.");
        const auto permission = started.strings.find("restore_token");
        if (permission != started.strings.end() && permission->second != saved && preparation.keepPermission)
            preparation.keepPermission(permission->second);
    } catch (...) {
        closeSession();
        throw;
    }
}

PortalRemoteDesktop::Response PortalRemoteDesktop::request(sd_bus_message* call, const std::string& token,
                                                           const Preparation& preparation)
{
    // The answer may come as soon as the call is taken: the signal is subscribed to before the call.
    const std::string expected = "/org/freedesktop/portal/desktop/request/" + m_sender + "/" + token;
    Response response;
    sd_bus_slot* answer = nullptr;
    int result = sd_bus_match_signal(m_bus, &answer, PortalName, expected.c_str(), "org.freedesktop.portal.Request",
                                     "Response", &Response::take, &response);
    Slot answerSlot(answer);
    BusError error;
    sd_bus_message* reply = nullptr;
    if (result >= 0)
        result = sd_bus_call(m_bus, call, QuestionTimeoutUs, &error.error, &reply);
    const Message replyMessage(reply);
    const char* handle = nullptr;
    if (result >= 0)
        result = sd_bus_message_read(reply, "o", &handle);
    if (result < 0)
        throw KeySendError("Keystrokes cannot be sent: the desktop portal did not take the request (" +
                           error.text(result) + ").");
    if (expected != handle) { // a portal that names its requests otherwise
        answerSlot.reset();
        result = sd_bus_match_signal(m_bus, &answer, PortalName, handle, "org.freedesktop.portal.Request", "Response",
                                     &Response::take, &response);
        answerSlot.reset(answer);
    }

    const std::string requestPath = handle;
    try {
        while (result >= 0 && !response.answered) {
            result = sd_bus_process(m_bus, nullptr);
            if (result > 0 || response.answered)
                continue;
            if (result >= 0)
                result = sd_bus_wait(m_bus, WaitSliceUs);
            if (preparation.whileWaiting)
                preparation.whileWaiting();
        }
    } catch (...) {
        sd_bus_call_method(m_bus, PortalName, requestPath.c_str(), "org.freedesktop.portal.Request", "Close", nullptr,
                           nullptr, "");
        throw;
    }
    if (result < 0)
        throw KeySendError("Keystrokes cannot be sent: the connection to the desktop portal broke (" +
                           std::string(std::strerror(-result)) + ").");
    return response;
}

void PortalRemoteDesktop::notifyKeysym(std::uint32_t keysym, bool down)
{
    BusError error;
    const int result =
        sd_bus_call_method(m_bus, PortalName, PortalPath, RemoteDesktop, "NotifyKeyboardKeysym", &error.error, nullptr,
                           "oa{sv}iu", m_session.c_str(), 0, static_cast<int>(keysym), down ? 1u : 0u);
    if (result < 0)
        throw KeySendError("Keystrokes cannot be sent: the desktop portal did not take a key (" + error.text(result) +
                           ").");
}

void PortalRemoteDesktop::closeSession()
{
    m_sessionClosed = sd_bus_slot_unref(m_sessionClosed);
    if (m_session.empty())
        return;
    sd_bus_call_method(m_bus, PortalName, m_session.c_str(), "org.freedesktop.portal.Session", "Close", nullptr,
                       nullptr, "");
    m_session.clear();
    m_closedByDesktop = false;
}

} // namespace Keys
