#include "app/win/korvo_app.h"

#include <ole2.h>

#include <memory>

#include "app/server_wiring.h"
#include "app/ticker_wiring.h"
#include "app/update_wiring.h"
#include "app/win/main_window.h"
#include "app/win/second_instance.h"
#include "app/win/win_text.h"
#include "app/win/window_classes.h"
#include "plugin_host/plugin_notification_dispatcher.h"
#include "shell/main_window_ids.h"
#include "store/database_guard.h"
#include "store/legacy_import_stage.h"
#include "store/store_holder.h"
#include "store/win/progress_window.h"
#include "ticker/headline_display.h"
#include "ticker/ticker_lists.h"
#include "ticker/win/gdi_headline_renderer.h"
#include "ticker/win/headline_window.h"
#include "ticker/win/headline_window_host.h"
#include "ticker/win/layered_headline_renderer.h"
#include "ticker/win/ticker_windows.h"
#include "ticker/win/waitable_tick_source.h"

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
  // Each subsystem adds its lines here: its AppComponent (shell.Attach) and its hooks.
  shell.Attach(AppStage::kStoreHolder, std::make_unique<StoreHolder>(progress));
  shell.Attach(AppStage::kStoreImport, std::make_unique<LegacyImportStage>(progress));

  // The channel list, the ticker's lists and the update scheduler (started at step 10 of the
  // start-up timer, stopped first at shut-down). The components live as long as the shell,
  // which outlives the main window and so every hook call. The first start's conversion of
  // UrlList shows the progress window.
  const UpdateWiring road = AttachUpdateRoad(shell, nullptr, progress, [](const std::string& text) {
    MessageBoxW(nullptr, WideFromCp932(text).c_str(), L"KorvoNewsReader",
                MB_OK | MB_ICONINFORMATION);
  });
  UpdateComponent* update = road.update;
  hooks.run_update_now = [update](bool fetch) {
    if (fetch) {
      update->RunNow();
    } else {
      update->RunNowWithoutFetching();
    }
  };
  // The ticker: the engine over the road's lists, drawing into the headline window (the main
  // window) on its display thread. Sent messages reach the window thread while it waits for the
  // engine at shut-down, so an engine thread that sends to a window never blocks that wait.
  // The ticker windows (the skin window beneath the headline window, translucency, the tray
  // fade, hot keys, drops, the headline window's pointer) live as long as the shell, like the
  // engine; the display asks them how to present each frame.
  const std::string folder = shell.folders().working_folder;
  TickerWindows::Options windows;
  windows.instance = instance_;
  windows.skin_root = shell.folders().skin_folder;
  windows.working_folder = folder;
  windows.language_id = shell.catalog().language_id();
  windows.channels = road.channels;
  // Notifications the windows raise (9 moved, 14 / 15 around opening the site) go to the active
  // plug-in; -1 from a plug-in vetoes a "before" step.
  windows.notify_plugins = [](int notification) {
    PluginNotificationDispatcher plugins;
    return plugins.Notify(notification, std::string_view());
  };
  hooks.notify_plugins = [](int notification) {
    PluginNotificationDispatcher plugins;
    plugins.Notify(notification, std::string_view());
  };
  ticker_windows_ = std::make_shared<TickerWindows>(std::move(windows));
  std::shared_ptr<TickerWindows> tw = ticker_windows_;

  auto headline = std::make_shared<HeadlineWindow>(road.ticker, folder);
  auto display = std::make_shared<HeadlineDisplay>(
      std::make_unique<LayeredHeadlineRenderer>([headline] { return headline->hwnd(); },
                                                [tw] { return tw->Presentation(); }),
      std::make_unique<WaitableTickSource>());
  auto host = std::make_shared<HeadlineWindowHost>(headline);
  host->SetSkinWindowSource([tw] { return tw->skin_window(); });
  host->SetItemSink([tw](const TickerItem& item) { tw->ItemShown(item); });
  headline->SetSkinWindowSource([tw] { return tw->skin_window(); });
  const TickerWiring ticker =
      AttachTickerEngine(shell, road.ticker, std::move(display), std::move(host), [] {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      });
  headline->SetEngine(ticker.engine);
  std::shared_ptr<TickerEngine> engine = ticker.engine;
  TickerEngineComponent* engine_stage = ticker.component;
  hooks.push_engine_command = [engine](EngineCommand command) {
    engine->Push(static_cast<uint8_t>(command));
  };
  hooks.ticker_item_count = [engine_stage] {
    return static_cast<int>(engine_stage->first_list_count());
  };
  tw->SetEngineCommands(hooks.push_engine_command);
  tw->SetSkinApplied(
      [headline](const Skin* skin, COLORREF background) { headline->SetSkin(skin, background); });
  hooks.create_ticker_parts = [headline, tw](HWND window) {
    headline->Attach(window);
    tw->CreateParts(window);
  };
  hooks.skin_window = [tw] { return tw->skin_window(); };
  hooks.news_box_offset = [tw] { return tw->NewsBoxOffset(); };
  hooks.apply_window_settings = [headline, tw](HWND window, const GeneralSettings& settings) {
    headline->ApplySettings(settings);
    tw->ApplyWindowSettings(window, settings);
  };
  hooks.load_skin = [tw](int command, const std::string& name) { tw->LoadSkin(command, name); };
  hooks.show_ticker = [tw](bool show) { tw->ShowTicker(show); };
  hooks.save_window_settings = [tw](GeneralSettings& settings) {
    tw->SaveWindowSettings(settings);
  };
  // The ticker windows first: with a skin they take the engine's layout message.
  hooks.handle_message = [headline, tw](HWND window, UINT message, WPARAM w, LPARAM l,
                                        LRESULT* result) {
    return tw->HandleMessage(window, message, w, l, result) ||
           headline->HandleMessage(window, message, w, l, result);
  };
  hooks.release_ticker_parts = [tw] { tw->ReleaseParts(); };
  // The local server (started after the update scheduler, stopped before the plug-in host).
  AttachLocalServer(shell, road, nullptr);
  hooks.flush_store = [folder] {
    DatabaseGuard guard(folder);
    ScopedDatabase db(guard);
    if (db) {
      db->SaveTable();
      db->MarkShutdown();
    }
  };

  // The browse window, the channel dialog and the favourites; last, as it chains the hooks set
  // before it.
  browse_ = std::make_unique<BrowseWiring>(instance_, shell, road);
  browse_->Attach(hooks);
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

  // The store's index rebuild at open, the import of the earlier database format and the
  // conversion of UrlList show the progress window, whose stop question is catalog entry 24.
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
  browse_.reset();
  shell.ReleaseProcess();
  ticker_windows_.reset();
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
