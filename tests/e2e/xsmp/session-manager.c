/* A session manager for the end-to-end tests: what a desktop's session manager does at logout, and nothing more.
 *
 *   session-manager --listen SOCKET [--address-file FILE] [--deadline SECONDS]
 *
 * Listens for XSMP clients on the local socket SOCKET only (no TCP) and gives the value of SESSION_MANAGER for them
 * as the first line on stdout ("SESSION_MANAGER=<value>") and, when asked, in FILE (written whole, then renamed).
 * The connection cookies go into the ICE authority file named by ICEAUTHORITY, which must be set: clients started
 * with the same ICEAUTHORITY authenticate, and no user's own authority file is ever written.
 *
 * Commands are signals:
 *   SIGUSR1  logout: every client gets SaveYourself(SmSaveBoth, shutdown, SmInteractStyleNone, not fast). Once all
 *            have answered SaveYourselfDone, or the deadline (10 s unless given) has passed, each gets Die. The
 *            manager ends when the last client has closed its connection: status 0, or 1 if the deadline passed
 *            again first.
 *   SIGUSR2  checkpoint: the same save without shutdown, then SaveComplete; nothing ends.
 *   SIGTERM, SIGINT  end at once.
 * As XSMP asks, a newly registered client first gets SaveYourself(SmSaveLocal, no shutdown, SmInteractStyleNone).
 *
 * Each step is one line on stdout:
 *   registered <id>
 *   property <id> <name>=<value>             (text values; lists joined by spaces)
 *   logout | checkpoint
 *   save-yourself <id> type=<local|both> shutdown=<0|1>
 *   phase2-request <id> | interact-request <id> | interact-done <id> cancel=<0|1>
 *   save-yourself-done <id> success=<0|1>
 *   save-yourself-timeout <id>
 *   shutdown-cancelled | checkpoint complete
 *   die sent <id>
 *   connection closed <id> [lost]            ("lost": the connection broke without CloseConnection)
 *   logout complete | logout incomplete
 */
#define _GNU_SOURCE
#include <X11/ICE/ICElib.h>
#include <X11/ICE/ICEutil.h>
#include <X11/SM/SMlib.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

/* Exported by libICE, not declared: keeps the manager off TCP, as desktop session managers do. */
extern int _IceTransNoListen(const char* protocol);

enum { MAX_LISTENERS = 8, MAX_CONNECTIONS = 64, MAX_PROPERTIES = 32 };
enum round_kind { ROUND_NONE, ROUND_CHECKPOINT, ROUND_LOGOUT };

struct client {
    SmsConn sms;
    char* id;     /* NULL until registered */
    int saving;   /* a SaveYourself is unanswered */
    int in_round; /* takes part in the current checkpoint or logout */
    int wants_phase2;
    int die_sent;
    SmProp* properties[MAX_PROPERTIES];
    int property_count;
    struct client* next;
};

static struct client* clients;
static IceConn connections[MAX_CONNECTIONS];
static int connection_count;
static enum round_kind round_kind = ROUND_NONE;
static int dying;
static double deadline_seconds = 10;
static double round_deadline; /* monotonic seconds; 0 while nothing waits */
static int signal_pipe[2];
static int listener_count;
static IceListenObj* listeners;

static void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    putchar('\n');
    fflush(stdout);
}

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static const char* name_of(const struct client* c) { return c->id ? c->id : "(unregistered)"; }

/* ---- connections: libICE reports each one opened or closed; the main loop polls them ---- */

static void watch_connection(IceConn ice, IcePointer data, Bool opening, IcePointer* watch_data) {
    if (opening) {
        if (connection_count < MAX_CONNECTIONS) connections[connection_count++] = ice;
        return;
    }
    for (int i = 0; i < connection_count; i++)
        if (connections[i] == ice) {
            connections[i] = connections[--connection_count];
            break;
        }
}

static int connection_is_open(IceConn ice) {
    for (int i = 0; i < connection_count; i++)
        if (connections[i] == ice) return 1;
    return 0;
}

static void close_ice(IceConn ice) {
    IceSetShutdownNegotiation(ice, False);
    IceCloseConnection(ice);
}

/* ---- the save round: checkpoint or logout ---- */

static void finish_logout_if_done(void);

static void send_die_to_all(void) {
    dying = 1;
    round_deadline = now() + deadline_seconds;
    for (struct client* c = clients; c; c = c->next)
        if (c->id && !c->die_sent) {
            SmsDie(c->sms);
            c->die_sent = 1;
            say("die sent %s", c->id);
        }
    finish_logout_if_done();
}

static void end_round(void) {
    enum round_kind kind = round_kind;
    round_kind = ROUND_NONE;
    round_deadline = 0;
    for (struct client* c = clients; c; c = c->next) c->in_round = 0;
    if (kind == ROUND_LOGOUT) {
        send_die_to_all();
    } else {
        for (struct client* c = clients; c; c = c->next)
            if (c->id) SmsSaveComplete(c->sms);
        say("checkpoint complete");
    }
}

/* Phase 2 starts once every client has either finished or asked for it; the round ends when all have finished. */
static void advance_round(void) {
    if (round_kind == ROUND_NONE) return;
    int waiting = 0, phase2 = 0;
    for (struct client* c = clients; c; c = c->next) {
        if (!c->in_round || !c->saving) continue;
        if (c->wants_phase2)
            phase2++;
        else
            waiting++;
    }
    if (waiting) return;
    if (phase2) {
        for (struct client* c = clients; c; c = c->next)
            if (c->in_round && c->saving && c->wants_phase2) {
                c->wants_phase2 = 0;
                SmsSaveYourselfPhase2(c->sms);
            }
        return;
    }
    end_round();
}

static void start_round(enum round_kind kind) {
    if (round_kind != ROUND_NONE || dying) return;
    int shutdown = kind == ROUND_LOGOUT;
    round_kind = kind;
    round_deadline = now() + deadline_seconds;
    say(shutdown ? "logout" : "checkpoint");
    for (struct client* c = clients; c; c = c->next) {
        if (!c->id) continue;
        c->in_round = c->saving = 1;
        c->wants_phase2 = 0;
        SmsSaveYourself(c->sms, SmSaveBoth, shutdown, SmInteractStyleNone, False);
        say("save-yourself %s type=both shutdown=%d", c->id, shutdown);
    }
    advance_round();
}

static void cancel_shutdown(void) {
    round_kind = ROUND_NONE;
    round_deadline = 0;
    for (struct client* c = clients; c; c = c->next) {
        c->in_round = c->saving = c->wants_phase2 = 0;
        if (c->id) SmsShutdownCancelled(c->sms);
    }
    say("shutdown-cancelled");
}

static void finish_logout_if_done(void) {
    if (!dying) return;
    for (struct client* c = clients; c; c = c->next)
        if (c->id) return;
    say("logout complete");
    exit(0);
}

static void check_deadline(void) {
    if (!round_deadline || now() < round_deadline) return;
    if (dying) {
        say("logout incomplete");
        exit(1);
    }
    for (struct client* c = clients; c; c = c->next)
        if (c->in_round && c->saving) {
            c->saving = 0;
            say("save-yourself-timeout %s", name_of(c));
        }
    end_round();
}

/* ---- clients ---- */

static void forget_client(struct client* gone) {
    for (struct client** p = &clients; *p; p = &(*p)->next)
        if (*p == gone) {
            *p = gone->next;
            break;
        }
    for (int i = 0; i < gone->property_count; i++) SmFreeProperty(gone->properties[i]);
    free(gone->id);
    free(gone);
    advance_round();
    finish_logout_if_done();
}

static void drop_client(struct client* c, const char* how) {
    IceConn ice = SmsGetIceConnection(c->sms);
    say("connection closed %s%s", name_of(c), how);
    SmsCleanUp(c->sms);
    close_ice(ice);
    forget_client(c);
}

static struct client* client_of_connection(IceConn ice) {
    for (struct client* c = clients; c; c = c->next)
        if (SmsGetIceConnection(c->sms) == ice) return c;
    return NULL;
}

static Status register_client(SmsConn sms, SmPointer data, char* previous_id) {
    struct client* c = data;
    /* There is no saved session to resume, so a previous id is simply kept. */
    c->id = previous_id ? previous_id : SmsGenerateClientID(sms);
    if (!c->id) {
        static unsigned serial;
        if (asprintf(&c->id, "test-%d-%u", (int)getpid(), ++serial) < 0) return 0;
    }
    SmsRegisterClientReply(sms, c->id);
    say("registered %s", c->id);
    if (!previous_id) {
        SmsSaveYourself(sms, SmSaveLocal, False, SmInteractStyleNone, False);
        c->saving = 1;
        say("save-yourself %s type=local shutdown=0", c->id);
    }
    return 1;
}

static void interact_request(SmsConn sms, SmPointer data, int dialog_type) {
    /* Nobody sits at a test's screen: interaction is granted at once rather than left pending. */
    say("interact-request %s", name_of(data));
    SmsInteract(sms);
}

static void interact_done(SmsConn sms, SmPointer data, Bool cancel) {
    say("interact-done %s cancel=%d", name_of(data), cancel ? 1 : 0);
    if (cancel && round_kind == ROUND_LOGOUT) cancel_shutdown();
}

static void save_yourself_request(SmsConn sms, SmPointer data, int type, Bool shutdown, int style, Bool fast,
                                  Bool global) {
    say("save-yourself-request %s shutdown=%d global=%d", name_of(data), shutdown ? 1 : 0, global ? 1 : 0);
}

static void phase2_request(SmsConn sms, SmPointer data) {
    struct client* c = data;
    c->wants_phase2 = 1;
    say("phase2-request %s", name_of(c));
    advance_round();
}

static void save_yourself_done(SmsConn sms, SmPointer data, Bool success) {
    struct client* c = data;
    c->saving = 0;
    say("save-yourself-done %s success=%d", name_of(c), success ? 1 : 0);
    advance_round();
}

static void close_connection(SmsConn sms, SmPointer data, int count, char** reasons) {
    SmFreeReasons(count, reasons);
    drop_client(data, "");
}

static int find_property(struct client* c, const char* name) {
    for (int i = 0; i < c->property_count; i++)
        if (strcmp(c->properties[i]->name, name) == 0) return i;
    return -1;
}

static void remove_property(struct client* c, int i) {
    SmFreeProperty(c->properties[i]);
    c->properties[i] = c->properties[--c->property_count];
}

static void log_property(const struct client* c, const SmProp* p) {
    if (strcmp(p->type, SmARRAY8) != 0 && strcmp(p->type, SmLISTofARRAY8) != 0) return;
    printf("property %s %s=", name_of(c), p->name);
    for (int i = 0; i < p->num_vals; i++)
        printf("%s%.*s", i ? " " : "", p->vals[i].length, (const char*)p->vals[i].value);
    putchar('\n');
    fflush(stdout);
}

static void set_properties(SmsConn sms, SmPointer data, int count, SmProp** props) {
    struct client* c = data;
    for (int i = 0; i < count; i++) {
        int old = find_property(c, props[i]->name);
        if (old >= 0) remove_property(c, old);
        log_property(c, props[i]);
        if (c->property_count < MAX_PROPERTIES)
            c->properties[c->property_count++] = props[i];
        else
            SmFreeProperty(props[i]);
    }
    free(props);
}

static void delete_properties(SmsConn sms, SmPointer data, int count, char** names) {
    struct client* c = data;
    for (int i = 0; i < count; i++) {
        int old = find_property(c, names[i]);
        if (old >= 0) remove_property(c, old);
        free(names[i]);
    }
    free(names);
}

static void get_properties(SmsConn sms, SmPointer data) {
    struct client* c = data;
    SmsReturnProperties(sms, c->property_count, c->properties);
}

static Status new_client(SmsConn sms, SmPointer manager_data, unsigned long* mask, SmsCallbacks* callbacks,
                         char** failure) {
    struct client* c = calloc(1, sizeof *c);
    if (!c) {
        *failure = strdup("out of memory");
        return 0;
    }
    c->sms = sms;
    c->next = clients;
    clients = c;
    *mask = 0;
#define HANDLE(field, proc, bit)       \
    callbacks->field.callback = proc;  \
    callbacks->field.manager_data = c; \
    *mask |= bit;
    HANDLE(register_client, register_client, SmsRegisterClientProcMask)
    HANDLE(interact_request, interact_request, SmsInteractRequestProcMask)
    HANDLE(interact_done, interact_done, SmsInteractDoneProcMask)
    HANDLE(save_yourself_request, save_yourself_request, SmsSaveYourselfRequestProcMask)
    HANDLE(save_yourself_phase2_request, phase2_request, SmsSaveYourselfP2RequestProcMask)
    HANDLE(save_yourself_done, save_yourself_done, SmsSaveYourselfDoneProcMask)
    HANDLE(close_connection, close_connection, SmsCloseConnectionProcMask)
    HANDLE(set_properties, set_properties, SmsSetPropertiesProcMask)
    HANDLE(delete_properties, delete_properties, SmsDeletePropertiesProcMask)
    HANDLE(get_properties, get_properties, SmsGetPropertiesProcMask)
#undef HANDLE
    return 1;
}

/* ---- start-up ---- */

static void fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    fputs("session-manager: ", stderr);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    exit(2);
}

static Bool refuse_by_host(char* host) { return False; }

/* libICE's defaults end the process on any client's protocol or I/O error; a broken client must only lose its
 * connection, which the main loop sees in IceProcessMessages' status. */
static void ignore_ice_error(IceConn ice, Bool swap, int opcode, unsigned long sequence, int error_class, int severity,
                             IcePointer values) {
    fprintf(stderr, "session-manager: ICE error class %d severity %d\n", error_class, severity);
}
static void ignore_ice_io_error(IceConn ice) {}

/* One MIT-MAGIC-COOKIE-1 per listening address for ICE and for XSMP: in memory for us, in the file for clients. */
static void publish_cookies(int count, IceListenObj* listeners) {
    const char* file = getenv("ICEAUTHORITY");
    if (!file || !*file) fail("ICEAUTHORITY must name the authority file to write");
    if (IceLockAuthFile(file, 10, 1, 60) != IceAuthLockSuccess) fail("cannot lock %s", file);
    mode_t old_mask = umask(077);
    FILE* out = fopen(file, "ab");
    umask(old_mask);
    if (!out) fail("cannot write %s: %s", file, strerror(errno));
    static char protocol_ice[] = "ICE", protocol_xsmp[] = "XSMP", method[] = "MIT-MAGIC-COOKIE-1", none[] = "";
    char* protocols[] = {protocol_ice, protocol_xsmp};
    IceAuthDataEntry* entries = calloc(2 * (size_t)count, sizeof *entries);
    int n = 0;
    for (int i = 0; i < count; i++) {
        char* address = IceGetListenConnectionString(listeners[i]);
        for (int p = 0; p < 2; p++) {
            char* cookie = IceGenerateMagicCookie(16);
            IceAuthFileEntry line = {protocols[p], 0, none, address, method, 16, cookie};
            if (!IceWriteAuthFileEntry(out, &line)) fail("cannot write %s", file);
            entries[n++] = (IceAuthDataEntry){protocols[p], address, method, 16, cookie};
        }
    }
    if (fclose(out) != 0) fail("cannot write %s", file);
    IceUnlockAuthFile(file);
    IceSetPaAuthData(n, entries);
    for (int i = 0; i < n; i++) free(entries[i].auth_data);
    for (int i = 0; i < count; i++) free(entries[2 * i].network_id);
    free(entries);
}

static void write_whole(const char* path, const char* text) {
    char* temporary;
    if (asprintf(&temporary, "%s.partial", path) < 0) fail("out of memory");
    FILE* out = fopen(temporary, "w");
    if (!out || fprintf(out, "%s\n", text) < 0 || fclose(out) != 0 || rename(temporary, path) != 0)
        fail("cannot write %s: %s", path, strerror(errno));
    free(temporary);
}

/* Closing the listeners removes the socket file, so an ended manager leaves no address that nobody answers. */
static void stop_listening(void) { IceFreeListenObjs(listener_count, listeners); }

static void on_signal(int number) {
    unsigned char byte = (unsigned char)number;
    ssize_t ignored = write(signal_pipe[1], &byte, 1);
    (void)ignored;
}

static void catch_signals(void) {
    if (pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) fail("pipe: %s", strerror(errno));
    struct sigaction action = {0};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    int caught[] = {SIGUSR1, SIGUSR2, SIGTERM, SIGINT};
    for (size_t i = 0; i < sizeof caught / sizeof *caught; i++) sigaction(caught[i], &action, NULL);
    signal(SIGPIPE, SIG_IGN);
}

static void handle_signals(void) {
    unsigned char number;
    while (read(signal_pipe[0], &number, 1) == 1) {
        if (number == SIGUSR1)
            start_round(ROUND_LOGOUT);
        else if (number == SIGUSR2)
            start_round(ROUND_CHECKPOINT);
        else
            exit(0);
    }
}

/* ---- main loop ---- */

static void accept_client(IceListenObj listener) {
    IceAcceptStatus status;
    IceConn ice = IceAcceptConnection(listener, &status);
    if (!ice) fprintf(stderr, "session-manager: a connection was not accepted (%d)\n", (int)status);
}

static void process_connection(IceConn ice) {
    IceProcessMessagesStatus status = IceProcessMessages(ice, NULL, NULL);
    struct client* c = client_of_connection(ice);
    if (status == IceProcessMessagesIOError) {
        if (c)
            drop_client(c, " lost");
        else
            close_ice(ice);
    } else if (status == IceProcessMessagesConnectionClosed) {
        /* ICE closed it without XSMP's CloseConnection: libICE has freed it already, only the client is left. */
        if (c) {
            say("connection closed %s lost", name_of(c));
            SmsCleanUp(c->sms);
            forget_client(c);
        }
    } else if (IceConnectionStatus(ice) == IceConnectRejected) {
        close_ice(ice);
    }
}

int main(int argc, char** argv) {
    const char *socket_path = NULL, *address_file = NULL;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--listen") == 0 && i + 1 < argc)
            socket_path = argv[++i];
        else if (strcmp(argv[i], "--address-file") == 0 && i + 1 < argc)
            address_file = argv[++i];
        else if (strcmp(argv[i], "--deadline") == 0 && i + 1 < argc)
            deadline_seconds = atof(argv[++i]);
        else
            fail("usage: session-manager --listen SOCKET [--address-file FILE] [--deadline SECONDS]");
    }
    if (!socket_path || socket_path[0] != '/') fail("--listen needs an absolute socket path");
    if (deadline_seconds <= 0) fail("--deadline needs a positive number of seconds");

    catch_signals();
    IceSetErrorHandler(ignore_ice_error);
    IceSetIOErrorHandler(ignore_ice_io_error);
    char error[256] = "";
    if (!SmsInitialize("morvane-tests", "1.0", new_client, NULL, refuse_by_host, sizeof error, error))
        fail("SmsInitialize: %s", error);

    _IceTransNoListen("tcp");
    _IceTransNoListen("inet");
    _IceTransNoListen("inet6");
    if (!IceListenForWellKnownConnections((char*)socket_path, &listener_count, &listeners, sizeof error, error) ||
        listener_count == 0)
        fail("cannot listen on %s: %s", socket_path, error);
    if (listener_count > MAX_LISTENERS)
        fail("%d listening sockets, more than the %d polled", listener_count, MAX_LISTENERS);
    atexit(stop_listening);
    publish_cookies(listener_count, listeners);
    IceAddConnectionWatch(watch_connection, NULL);

    char* address = IceComposeNetworkIdList(listener_count, listeners);
    if (address_file) write_whole(address_file, address);
    say("SESSION_MANAGER=%s", address);
    free(address);

    for (;;) {
        struct pollfd fds[1 + MAX_LISTENERS + MAX_CONNECTIONS];
        IceConn polled[MAX_CONNECTIONS];
        int n = 0;
        fds[n++] = (struct pollfd){signal_pipe[0], POLLIN, 0};
        for (int i = 0; i < listener_count; i++)
            fds[n++] = (struct pollfd){IceGetListenConnectionNumber(listeners[i]), POLLIN, 0};
        int polled_count = connection_count;
        for (int i = 0; i < polled_count; i++) {
            polled[i] = connections[i];
            fds[n++] = (struct pollfd){IceConnectionNumber(connections[i]), POLLIN, 0};
        }
        int timeout = -1;
        if (round_deadline) {
            double left = round_deadline - now();
            timeout = left > 0 ? (int)(left * 1000) + 1 : 0;
        }
        if (poll(fds, n, timeout) < 0 && errno != EINTR) fail("poll: %s", strerror(errno));

        if (fds[0].revents) handle_signals();
        for (int i = 0; i < listener_count; i++)
            if (fds[1 + i].revents & POLLIN) accept_client(listeners[i]);
        /* A connection handled earlier in this pass may have closed another one's client; skip what has gone. */
        for (int i = 0; i < polled_count; i++)
            if (fds[1 + listener_count + i].revents && connection_is_open(polled[i])) process_connection(polled[i]);
        check_deadline();
    }
}
