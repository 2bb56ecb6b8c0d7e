#include "app/win/korvo_app.h"

#include <ole2.h>

#include <memory>

#include "app/server_wiring.h"
#include "app/update_wiring.h"
#include "app/win/main_window.h"
#include "app/win/second_instance.h"
#include "app/win/win_text.h"
#include "app/win/window_classes.h"
#include "shell/main_window_ids.h"
#include "store/database_guard.h"
#include "store/store_holder.h"
#include "store/win/progress_window.h"
#include "ticker/ticker_lists.h"
#include "ticker/win/ticker_windows.h"

namespace korvo {

namespace {

// OLE for the life of the process (drag and drop, the web views).
class OleSession {
 public:
  OleSession() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() {
    if (initialized_) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool initialized_;
};

}  // namespace

void KorvoApp::AttachComponents(AppShell& shell, MainWindowHooks& hooks,
                                ProgressProvider* progress) {
  // Each subsystem adds its lines here, for example
  //   shell.Attach(AppStage::kTickerEngine, std::make_unique<...>(...));
  //   hooks.push_engine_command = [engine](EngineCommand c) { engine->Push(c); };
  shell.Attach(AppStage::kStoreHolder, std::make_unique<StoreHolder>(progress));

  // The channel list, the ticker's lists and the update scheduler (started at step 10 of the
  // start-up timer, stopped first at shut-down). The components live as long as the shell,
  // which outlives the main window and so every hook call.
  const UpdateWiring road = AttachUpdateRoad(shell, nullptr);
  UpdateComponent* update = road.update;
  hooks.run_update_now = [update](bool fetch) {
    if (fetch) {
      update->RunNow();
    } else {
      update->RunNowWithoutFetching();
    }
  };
  // The local server (started after the update scheduler, stopped before the plug-in host).
  AttachLocalServer(shell, road, nullptr);
  std::shared_ptr<TickerLists> ticker = road.ticker;
  hooks.ticker_item_count = [ticker] { return static_cast<int>(ticker->shown_count()); };
  const std::string folder = shell.folders().working_folder;

  // The ticker windows: the skin window beneath the main window, translucency, tray fade, hot
  // keys, drops, the headline window's pointer. The object lives as long as the shell.
  TickerWindows::Options windows;
  windows.instance = instance_;
  windows.skin_root = shell.folders().skin_folder;
  windows.working_folder = folder;
  windows.language_id = shell.catalog().language_id();
  windows.push_engine_command = hooks.push_engine_command;
  windows.channels = road.channels;
  windows.notify_plugins = [notify = hooks.notify_plugins](int notification) {
    if (notify) notify(notification);
    return 0;
  };
  ticker_windows_ = std::make_shared<TickerWindows>(std::move(windows));
  TickerWindows* tw = ticker_windows_.get();
  hooks.create_ticker_parts = [tw](HWND main) { tw->CreateParts(main); };
  hooks.skin_window = [tw] { return tw->skin_window(); };
  hooks.news_box_offset = [tw] { return tw->NewsBoxOffset(); };
  hooks.apply_window_settings = [tw](HWND main, const GeneralSettings& settings) {
    tw->ApplyWindowSettings(main, settings);
  };
  hooks.load_skin = [tw](int command, const std::string& name) { tw->LoadSkin(command, name); };
  hooks.show_ticker = [tw](bool show) { tw->ShowTicker(show); };
  hooks.save_window_settings = [tw](GeneralSettings& settings) {
    tw->SaveWindowSettings(settings);
  };
  hooks.handle_message = [tw](HWND window, UINT message, WPARAM w, LPARAM l, LRESULT* result) {
    return tw->HandleMessage(window, message, w, l, result);
  };
  hooks.release_ticker_parts = [tw] { tw->ReleaseParts(); };

  hooks.flush_store = [folder] {
    DatabaseGuard guard(folder);
    ScopedDatabase db(guard);
    if (db) {
      db->SaveTable();
      db->MarkShutdown();
    }
  };
}

int KorvoApp::Run(const std::wstring& command_line, int show_command) {
  // Declared before the shell: the store holder uses it until the shell has stopped it.
  std::unique_ptr<WindowProgressProvider> progress;
  AppShell shell;
  const ProcessEnvironment environment = ProcessEnvironment::FromSystem(Utf8FromWide(command_line));
  shell.RecordSystem(environment.system, environment.language_id);
  if (!shell.ClaimInstance(environment.start_folder)) {
    AnswerSecondStart(instance_, shell.catalog(), AskWithMessageBox);
    return 0;
  }
  OleSession ole;
  shell.ScanCommandLine(environment.command_line);
  shell.EnterWorkingFolder(environment.start_folder, environment.app_data);

  const std::wstring title =
      LoadResourceString(instance_, resource_id::kTitleString, L"KorvoNewsReader");
  const std::wstring class_name =
      LoadResourceString(instance_, resource_id::kClassString, L"DIGITAL");
  RegisterWindowClasses(instance_, class_name);

  // The store's index rebuild at open shows the progress window, whose stop question is
  // catalog entry 24.
  progress = std::make_unique<WindowProgressProvider>(instance_, shell.catalog().Text(24));
  MainWindowHooks hooks;
  AttachComponents(shell, hooks, progress.get());
  shell.TakeStoreHolder();

  int exit_code = 0;
  {
    MainWindow window(instance_, shell, std::move(hooks));
    if (ticker_windows_) {
      ticker_windows_->SetSkinMenuAdder(
          [&window](const std::string& name) { window.AddSkinEntry(name); });
    }
    if (window.Create(class_name, title, show_command)) {
      HACCEL accelerators =
          LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(resource_id::kAccelerators));
      exit_code = RunMessageLoop(window.hwnd(), accelerators);
    }
  }
  ticker_windows_.reset();
  shell.ReleaseProcess();
  return exit_code;
}

int RunMessageLoop(HWND main_window, HACCEL accelerators) {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 0;
    if (accelerators != nullptr && main_window != nullptr &&
        TranslateAcceleratorW(main_window, accelerators, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace korvo
