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

enum { MaxListeners = 8, MaxConnections = 64, MaxProperties = 32 };
enum RoundKind { RoundNone, RoundCheckpoint, RoundLogout };

struct client {
    SmsConn sms;
    char* id;    /* NULL until registered */
    int saving;  /* a SaveYourself is unanswered */
    int inRound; /* takes part in the current checkpoint or logout */
    int wantsPhase2;
    int dieSent;
    SmProp* properties[MaxProperties];
    int propertyCount;
    struct client* next;
};

static struct client* clients;
static IceConn connections[MaxConnections];
static int connectionCount;
static enum RoundKind roundKind = RoundNone;
static int dying;
static double deadlineSeconds = 10;
static double roundDeadline; /* monotonic seconds; 0 while nothing waits */
static int signalPipe[2];
static int listenerCount;
static IceListenObj* listeners;

static void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    putchar('\n');
    fflush(stdout);
}

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static const char* NameOf(const struct client* c) { return c->id ? c->id : "(unregistered)"; }

/* ---- connections: libICE reports each one opened or closed; the main loop polls them ---- */

static void WatchConnection(IceConn ice, IcePointer data, Bool opening, IcePointer* watchData) {
    if (opening) {
        if (connectionCount < MaxConnections) connections[connectionCount++] = ice;
        return;
    }
    for (int i = 0; i < connectionCount; i++)
        if (connections[i] == ice) {
            connections[i] = connections[--connectionCount];
            break;
        }
}

static int ConnectionIsOpen(IceConn ice) {
    for (int i = 0; i < connectionCount; i++)
        if (connections[i] == ice) return 1;
    return 0;
}

static void CloseIce(IceConn ice) {
    IceSetShutdownNegotiation(ice, False);
    IceCloseConnection(ice);
}

/* ---- the save round: checkpoint or logout ---- */

static void FinishLogoutIfDone(void);

static void SendDieToAll(void) {
    dying = 1;
    roundDeadline = Now() + deadlineSeconds;
    for (struct client* c = clients; c; c = c->next)
        if (c->id && !c->dieSent) {
            SmsDie(c->sms);
            c->dieSent = 1;
            Say("die sent %s", c->id);
        }
    FinishLogoutIfDone();
}

static void EndRound(void) {
    enum RoundKind kind = roundKind;
    roundKind = RoundNone;
    roundDeadline = 0;
    for (struct client* c = clients; c; c = c->next) c->inRound = 0;
    if (kind == RoundLogout) {
        SendDieToAll();
    } else {
        for (struct client* c = clients; c; c = c->next)
            if (c->id) SmsSaveComplete(c->sms);
        Say("checkpoint complete");
    }
}

/* Phase 2 starts once every client has either finished or asked for it; the round ends when all have finished. */
static void AdvanceRound(void) {
    if (roundKind == RoundNone) return;
    int waiting = 0, phase2 = 0;
    for (struct client* c = clients; c; c = c->next) {
        if (!c->inRound || !c->saving) continue;
        if (c->wantsPhase2)
            phase2++;
        else
            waiting++;
    }
    if (waiting) return;
    if (phase2) {
        for (struct client* c = clients; c; c = c->next)
            if (c->inRound && c->saving && c->wantsPhase2) {
                c->wantsPhase2 = 0;
                SmsSaveYourselfPhase2(c->sms);
            }
        return;
    }
    EndRound();
}

static void StartRound(enum RoundKind kind) {
    if (roundKind != RoundNone || dying) return;
    int shutdown = kind == RoundLogout;
    roundKind = kind;
    roundDeadline = Now() + deadlineSeconds;
    Say(shutdown ? "logout" : "checkpoint");
    for (struct client* c = clients; c; c = c->next) {
        if (!c->id) continue;
        c->inRound = c->saving = 1;
        c->wantsPhase2 = 0;
        SmsSaveYourself(c->sms, SmSaveBoth, shutdown, SmInteractStyleNone, False);
        Say("save-yourself %s type=both shutdown=%d", c->id, shutdown);
    }
    AdvanceRound();
}

static void CancelShutdown(void) {
    roundKind = RoundNone;
    roundDeadline = 0;
    for (struct client* c = clients; c; c = c->next) {
        c->inRound = c->saving = c->wantsPhase2 = 0;
        if (c->id) SmsShutdownCancelled(c->sms);
    }
    Say("shutdown-cancelled");
}

static void FinishLogoutIfDone(void) {
    if (!dying) return;
    for (struct client* c = clients; c; c = c->next)
        if (c->id) return;
    Say("logout complete");
    exit(0);
}

static void CheckDeadline(void) {
    if (!roundDeadline || Now() < roundDeadline) return;
    if (dying) {
        Say("logout incomplete");
        exit(1);
    }
    for (struct client* c = clients; c; c = c->next)
        if (c->inRound && c->saving) {
            c->saving = 0;
            Say("save-yourself-timeout %s", NameOf(c));
        }
    EndRound();
}

/* ---- clients ---- */

static void ForgetClient(struct client* gone) {
    for (struct client** p = &clients; *p; p = &(*p)->next)
        if (*p == gone) {
            *p = gone->next;
            break;
        }
    for (int i = 0; i < gone->propertyCount; i++) SmFreeProperty(gone->properties[i]);
    free(gone->id);
    free(gone);
    AdvanceRound();
    FinishLogoutIfDone();
}

static void DropClient(struct client* c, const char* how) {
    IceConn ice = SmsGetIceConnection(c->sms);
    Say("connection closed %s%s", NameOf(c), how);
    SmsCleanUp(c->sms);
    CloseIce(ice);
    ForgetClient(c);
}

static struct client* ClientOfConnection(IceConn ice) {
    for (struct client* c = clients; c; c = c->next)
        if (SmsGetIceConnection(c->sms) == ice) return c;
    return NULL;
}

static Status RegisterClient(SmsConn sms, SmPointer data, char* previousId) {
    struct client* c = data;
    /* There is no saved session to resume, so a previous id is simply kept. */
    c->id = previousId ? previousId : SmsGenerateClientID(sms);
    if (!c->id) {
        static unsigned serial;
        if (asprintf(&c->id, "test-%d-%u", (int)getpid(), ++serial) < 0) return 0;
    }
    SmsRegisterClientReply(sms, c->id);
    Say("registered %s", c->id);
    if (!previousId) {
        SmsSaveYourself(sms, SmSaveLocal, False, SmInteractStyleNone, False);
        c->saving = 1;
        Say("save-yourself %s type=local shutdown=0", c->id);
    }
    return 1;
}

static void InteractRequest(SmsConn sms, SmPointer data, int dialogType) {
    /* Nobody sits at a test's screen: interaction is granted at once rather than left pending. */
    Say("interact-request %s", NameOf(data));
    SmsInteract(sms);
}

static void InteractDone(SmsConn sms, SmPointer data, Bool cancel) {
    Say("interact-done %s cancel=%d", NameOf(data), cancel ? 1 : 0);
    if (cancel && roundKind == RoundLogout) CancelShutdown();
}

static void SaveYourselfRequest(SmsConn sms, SmPointer data, int type, Bool shutdown, int style, Bool fast,
                                Bool global) {
    Say("save-yourself-request %s shutdown=%d global=%d", NameOf(data), shutdown ? 1 : 0, global ? 1 : 0);
}

static void Phase2Request(SmsConn sms, SmPointer data) {
    struct client* c = data;
    c->wantsPhase2 = 1;
    Say("phase2-request %s", NameOf(c));
    AdvanceRound();
}

static void SaveYourselfDone(SmsConn sms, SmPointer data, Bool success) {
    struct client* c = data;
    c->saving = 0;
    Say("save-yourself-done %s success=%d", NameOf(c), success ? 1 : 0);
    AdvanceRound();
}

static void CloseConnection(SmsConn sms, SmPointer data, int count, char** reasons) {
    SmFreeReasons(count, reasons);
    DropClient(data, "");
}

static int FindProperty(struct client* c, const char* name) {
    for (int i = 0; i < c->propertyCount; i++)
        if (strcmp(c->properties[i]->name, name) == 0) return i;
    return -1;
}

static void RemoveProperty(struct client* c, int i) {
    SmFreeProperty(c->properties[i]);
    c->properties[i] = c->properties[--c->propertyCount];
}

static void LogProperty(const struct client* c, const SmProp* p) {
    if (strcmp(p->type, SmARRAY8) != 0 && strcmp(p->type, SmLISTofARRAY8) != 0) return;
    printf("property %s %s=", NameOf(c), p->name);
    for (int i = 0; i < p->num_vals; i++)
        printf("%s%.*s", i ? " " : "", p->vals[i].length, (const char*)p->vals[i].value);
    putchar('\n');
    fflush(stdout);
}

static void SetProperties(SmsConn sms, SmPointer data, int count, SmProp** props) {
    struct client* c = data;
    for (int i = 0; i < count; i++) {
        int old = FindProperty(c, props[i]->name);
        if (old >= 0) RemoveProperty(c, old);
        LogProperty(c, props[i]);
        if (c->propertyCount < MaxProperties)
            c->properties[c->propertyCount++] = props[i];
        else
            SmFreeProperty(props[i]);
    }
    free(props);
}

static void DeleteProperties(SmsConn sms, SmPointer data, int count, char** names) {
    struct client* c = data;
    for (int i = 0; i < count; i++) {
        int old = FindProperty(c, names[i]);
        if (old >= 0) RemoveProperty(c, old);
        free(names[i]);
    }
    free(names);
}

static void GetProperties(SmsConn sms, SmPointer data) {
    struct client* c = data;
    SmsReturnProperties(sms, c->propertyCount, c->properties);
}

static Status NewClient(SmsConn sms, SmPointer managerData, unsigned long* mask, SmsCallbacks* callbacks,
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
    HANDLE(register_client, RegisterClient, SmsRegisterClientProcMask)
    HANDLE(interact_request, InteractRequest, SmsInteractRequestProcMask)
    HANDLE(interact_done, InteractDone, SmsInteractDoneProcMask)
    HANDLE(save_yourself_request, SaveYourselfRequest, SmsSaveYourselfRequestProcMask)
    HANDLE(save_yourself_phase2_request, Phase2Request, SmsSaveYourselfP2RequestProcMask)
    HANDLE(save_yourself_done, SaveYourselfDone, SmsSaveYourselfDoneProcMask)
    HANDLE(close_connection, CloseConnection, SmsCloseConnectionProcMask)
    HANDLE(set_properties, SetProperties, SmsSetPropertiesProcMask)
    HANDLE(delete_properties, DeleteProperties, SmsDeletePropertiesProcMask)
    HANDLE(get_properties, GetProperties, SmsGetPropertiesProcMask)
#undef HANDLE
    return 1;
}

/* ---- start-up ---- */

static void Fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    fputs("session-manager: ", stderr);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    exit(2);
}

static Bool RefuseByHost(char* host) { return False; }

/* libICE's defaults end the process on any client's protocol or I/O error; a broken client must only lose its
 * connection, which the main loop sees in IceProcessMessages' status. */
static void IgnoreIceError(IceConn ice, Bool swap, int opcode, unsigned long sequence, int errorClass, int severity,
                           IcePointer values) {
    fprintf(stderr, "session-manager: ICE error class %d severity %d\n", errorClass, severity);
}
static void IgnoreIceIoError(IceConn ice) {}

/* One MIT-MAGIC-COOKIE-1 per listening address for ICE and for XSMP: in memory for us, in the file for clients. */
static void PublishCookies(int count, IceListenObj* listeners) {
    const char* file = getenv("ICEAUTHORITY");
    if (!file || !*file) Fail("ICEAUTHORITY must name the authority file to write");
    if (IceLockAuthFile(file, 10, 1, 60) != IceAuthLockSuccess) Fail("cannot lock %s", file);
    mode_t oldMask = umask(077);
    FILE* out = fopen(file, "ab");
    umask(oldMask);
    if (!out) Fail("cannot write %s: %s", file, strerror(errno));
    static char protocolIce[] = "ICE", protocolXsmp[] = "XSMP", method[] = "MIT-MAGIC-COOKIE-1", none[] = "";
    char* protocols[] = {protocolIce, protocolXsmp};
    IceAuthDataEntry* entries = calloc(2 * (size_t)count, sizeof *entries);
    int n = 0;
    for (int i = 0; i < count; i++) {
        char* address = IceGetListenConnectionString(listeners[i]);
        for (int p = 0; p < 2; p++) {
            char* cookie = IceGenerateMagicCookie(16);
            IceAuthFileEntry line = {protocols[p], 0, none, address, method, 16, cookie};
            if (!IceWriteAuthFileEntry(out, &line)) Fail("cannot write %s", file);
            entries[n++] = (IceAuthDataEntry){protocols[p], address, method, 16, cookie};
        }
    }
    if (fclose(out) != 0) Fail("cannot write %s", file);
    IceUnlockAuthFile(file);
    IceSetPaAuthData(n, entries);
    for (int i = 0; i < n; i++) free(entries[i].auth_data);
    for (int i = 0; i < count; i++) free(entries[2 * i].network_id);
    free(entries);
}

static void WriteWhole(const char* path, const char* text) {
    char* temporary;
    if (asprintf(&temporary, "%s.partial", path) < 0) Fail("out of memory");
    FILE* out = fopen(temporary, "w");
    if (!out || fprintf(out, "%s\n", text) < 0 || fclose(out) != 0 || rename(temporary, path) != 0)
        Fail("cannot write %s: %s", path, strerror(errno));
    free(temporary);
}

/* Closing the listeners removes the socket file, so an ended manager leaves no address that nobody answers. */
static void StopListening(void) { IceFreeListenObjs(listenerCount, listeners); }

static void OnSignal(int number) {
    unsigned char byte = (unsigned char)number;
    ssize_t ignored = write(signalPipe[1], &byte, 1);
    (void)ignored;
}

static void CatchSignals(void) {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) Fail("pipe: %s", strerror(errno));
    struct sigaction action = {0};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    int caught[] = {SIGUSR1, SIGUSR2, SIGTERM, SIGINT};
    for (size_t i = 0; i < sizeof caught / sizeof *caught; i++) sigaction(caught[i], &action, NULL);
    signal(SIGPIPE, SIG_IGN);
}

static void HandleSignals(void) {
    unsigned char number;
    while (read(signalPipe[0], &number, 1) == 1) {
        if (number == SIGUSR1)
            StartRound(RoundLogout);
        else if (number == SIGUSR2)
            StartRound(RoundCheckpoint);
        else
            exit(0);
    }
}

/* ---- main loop ---- */

static void AcceptClient(IceListenObj listener) {
    IceAcceptStatus status;
    IceConn ice = IceAcceptConnection(listener, &status);
    if (!ice) fprintf(stderr, "session-manager: a connection was not accepted (%d)\n", (int)status);
}

static void ProcessConnection(IceConn ice) {
    IceProcessMessagesStatus status = IceProcessMessages(ice, NULL, NULL);
    struct client* c = ClientOfConnection(ice);
    if (status == IceProcessMessagesIOError) {
        if (c)
            DropClient(c, " lost");
        else
            CloseIce(ice);
    } else if (status == IceProcessMessagesConnectionClosed) {
        /* ICE closed it without XSMP's CloseConnection: libICE has freed it already, only the client is left. */
        if (c) {
            Say("connection closed %s lost", NameOf(c));
            SmsCleanUp(c->sms);
            ForgetClient(c);
        }
    } else if (IceConnectionStatus(ice) == IceConnectRejected) {
        CloseIce(ice);
    }
}

int main(int argc, char** argv) {
    const char *socketPath = NULL, *addressFile = NULL;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--listen") == 0 && i + 1 < argc)
            socketPath = argv[++i];
        else if (strcmp(argv[i], "--address-file") == 0 && i + 1 < argc)
            addressFile = argv[++i];
        else if (strcmp(argv[i], "--deadline") == 0 && i + 1 < argc)
            deadlineSeconds = atof(argv[++i]);
        else
            Fail("usage: session-manager --listen SOCKET [--address-file FILE] [--deadline SECONDS]");
    }
    if (!socketPath || socketPath[0] != '/') Fail("--listen needs an absolute socket path");
    if (deadlineSeconds <= 0) Fail("--deadline needs a positive number of seconds");

    CatchSignals();
    IceSetErrorHandler(IgnoreIceError);
    IceSetIOErrorHandler(IgnoreIceIoError);
    char error[256] = "";
    if (!SmsInitialize("morvane-tests", "1.0", NewClient, NULL, RefuseByHost, sizeof error, error))
        Fail("SmsInitialize: %s", error);

    _IceTransNoListen("tcp");
    _IceTransNoListen("inet");
    _IceTransNoListen("inet6");
    if (!IceListenForWellKnownConnections((char*)socketPath, &listenerCount, &listeners, sizeof error, error) ||
        listenerCount == 0)
        Fail("cannot listen on %s: %s", socketPath, error);
    if (listenerCount > MaxListeners)
        Fail("%d listening sockets, more than the %d polled", listenerCount, MaxListeners);
    atexit(StopListening);
    PublishCookies(listenerCount, listeners);
    IceAddConnectionWatch(WatchConnection, NULL);

    char* address = IceComposeNetworkIdList(listenerCount, listeners);
    if (addressFile) WriteWhole(addressFile, address);
    Say("SESSION_MANAGER=%s", address);
    free(address);

    for (;;) {
        struct pollfd fds[1 + MaxListeners + MaxConnections];
        IceConn polled[MaxConnections];
        int n = 0;
        fds[n++] = (struct pollfd){signalPipe[0], POLLIN, 0};
        for (int i = 0; i < listenerCount; i++)
            fds[n++] = (struct pollfd){IceGetListenConnectionNumber(listeners[i]), POLLIN, 0};
        int polledCount = connectionCount;
        for (int i = 0; i < polledCount; i++) {
            polled[i] = connections[i];
            fds[n++] = (struct pollfd){IceConnectionNumber(connections[i]), POLLIN, 0};
        }
        int timeout = -1;
        if (roundDeadline) {
            double left = roundDeadline - Now();
            timeout = left > 0 ? (int)(left * 1000) + 1 : 0;
        }
        if (poll(fds, n, timeout) < 0 && errno != EINTR) Fail("poll: %s", strerror(errno));

        if (fds[0].revents) HandleSignals();
        for (int i = 0; i < listenerCount; i++)
            if (fds[1 + i].revents & POLLIN) AcceptClient(listeners[i]);
        /* A connection handled earlier in this pass may have closed another one's client; skip what has gone. */
        for (int i = 0; i < polledCount; i++)
            if (fds[1 + listenerCount + i].revents && ConnectionIsOpen(polled[i])) ProcessConnection(polled[i]);
        CheckDeadline();
    }
}
