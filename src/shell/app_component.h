// The subsystems that the application shell starts and stops at fixed points of its start-up and
// shut-down: each plugs in as an AppComponent at one AppStage.
#ifndef KORVO_SHELL_APP_COMPONENT_H_
#define KORVO_SHELL_APP_COMPONENT_H_

namespace korvo {

class AppShell;

// The places where subsystems plug in, in start order. The shut-down order is different (see
// AppShell): the ticker engine and the update scheduler stop first, before the settings are
// saved; the loopback server stops before the plug-in host, because it calls plug-ins on its own
// thread; the store holder goes last, after the message loop.
enum class AppStage {
  kStoreHolder,      // the news store holder: before the main window, until after the loop
  kStoreImport,      // the import of the earlier database format, as the main window is created
  kChannelList,      // the channel list, loaded while the main window is created (after the import)
  kTickerEngine,     // builds the first display list from the store and starts the engine thread
  kUpdateScheduler,  // the update scheduler thread, with the period from the general flags
  kLocalServer,      // the loopback HTTP server (reads its own settings)
  kPluginHost,       // the plug-in host
  kInternetMenu,     // the internet menu
  kCount
};

// A short lower-case name of the stage ("store holder", ...), for messages.
const char* AppStageName(AppStage stage);

// One subsystem as the shell sees it. Start and Stop are called on the thread that runs the
// shell's sequence (the window thread of korvo.exe, the main thread of korvo-headless), each at
// most once, Stop only after a Start that returned true. The shell owns the component; the
// component may keep a reference to the shell for its life.
class AppComponent {
 public:
  virtual ~AppComponent() = default;
  // Acquires what the subsystem needs and starts its threads. False when it could not start:
  // the shell goes on without it (each subsystem reports its own failures), and Stop is not
  // called.
  virtual bool Start(AppShell& shell) = 0;
  // Stops the subsystem's threads within its own fixed time limits and releases what Start took.
  virtual void Stop(AppShell& shell) = 0;
};

}  // namespace korvo

#endif  // KORVO_SHELL_APP_COMPONENT_H_
