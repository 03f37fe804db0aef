#pragma once
// The stage of every end-to-end scenario: a private X server, the harness's connection to it
// with XTEST input, and the event-logging client window that receives what the program
// plays. Also what a played macro should look like to that client.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "EventClient.h"
#include "MacroFiles.h"
#include "XInput.h"
#include "XSession.h"
#include "XvfbServer.h"

// Paths the build passes in; each can be overridden by an environment variable of the same
// name (TAPEWRIGHT_BINARY, TAPEWRIGHT_EVENT_CLIENT, TAPEWRIGHT_E2E_ARTIFACTS).
std::string ProgramBinary();
std::string EventClientBinary();
std::string ArtifactDirectory();

class Desktop {
  public:
    // The client window's place: clear of the program's window (357,162 303x82 by default).
    static constexpr int kClientX = 0;
    static constexpr int kClientY = 300;
    static constexpr int kClientWidth = 800;
    static constexpr int kClientHeight = 400;
    // A pointer position inside the client that no macro uses: where each step starts and
    // the barrier that shows the client has logged everything before it.
    static constexpr int kHomeX = 790;
    static constexpr int kHomeY = 690;

    // Starts the server, connects, starts the client and gives it the focus. False on
    // failure; Error() says why.
    bool Start(bool withClient = true);
    const std::string& Error() const { return error_; }

    const std::string& DisplayName() const { return server_.DisplayName(); }
    XSession& Session() { return *session_; }
    XInput& Input() { return *input_; }
    EventClient& Client() { return client_; }

    // Ends the client, which would take the focus from the program's dialogs, and waits until
    // its window is gone. False on timeout.
    bool StopClient();

    // Puts the pointer at home (over the client) and returns the client's log mark.
    std::size_t Rest();
    // Moves the pointer to a barrier position and waits until the client logged the move:
    // everything the server delivered before is then in the log. False on timeout.
    bool Settle(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // The client's events after mark, without the barrier moves Settle and Rest make.
    std::vector<ClientEvent> EventsSince(std::size_t mark);

  private:
    XvfbServer server_;
    std::unique_ptr<XSession> session_;
    std::unique_ptr<XInput> input_;
    EventClient client_;
    std::string error_;
    int barrier_ = 0;
};

// What the client should see when a record is played, and when.
struct ExpectedEvent {
    ClientEvent event;  // time: the record's recorded time
};

// The client events that playing records produces. Keys are mapped to key codes through the
// session's keyboard mapping. A wheel notch shows as a press and release of button 4 or 5.
std::vector<ExpectedEvent> ExpectedEvents(const std::vector<MacroRecord>& records, XInput& input);

// Compares the kind, key code or button, direction and position of each event; an empty
// text when they match, else a description of the first difference.
std::string CompareEvents(const std::vector<ExpectedEvent>& expected,
                          const std::vector<ClientEvent>& actual);
