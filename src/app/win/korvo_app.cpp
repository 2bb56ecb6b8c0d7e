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
#include "shell/main_window_ids.h"
#include "store/database_guard.h"
#include "store/store_holder.h"
#include "store/win/progress_window.h"
#include "ticker/headline_display.h"
#include "ticker/ticker_lists.h"
#include "ticker/win/gdi_headline_renderer.h"
#include "ticker/win/headline_window.h"
#include "ticker/win/headline_window_host.h"
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
  // The ticker: the engine over the road's lists, drawing into the headline window (the main
  // window) on its display thread. Sent messages reach the window thread while it waits for the
  // engine at shut-down, so an engine thread that sends to a window never blocks that wait.
  auto headline = std::make_shared<HeadlineWindow>(road.ticker, shell.folders().working_folder);
  auto display = std::make_shared<HeadlineDisplay>(
      std::make_unique<GdiHeadlineRenderer>([headline] { return headline->hwnd(); }),
      std::make_unique<WaitableTickSource>());
  auto host = std::make_shared<HeadlineWindowHost>(headline);
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
  hooks.create_ticker_parts = [headline](HWND window) { headline->Attach(window); };
  hooks.apply_window_settings = [headline](HWND, const GeneralSettings& settings) {
    headline->ApplySettings(settings);
  };
  hooks.handle_message = [headline](HWND window, UINT message, WPARAM w, LPARAM l,
                                    LRESULT* result) {
    return headline->HandleMessage(window, message, w, l, result);
  };
  // The local server (started after the update scheduler, stopped before the plug-in host).
  AttachLocalServer(shell, road, nullptr);
  const std::string folder = shell.folders().working_folder;
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

  // The store's index rebuild at open shows the progress window, whose stop question is
  // catalog entry 24.
  progress = std::make_unique<WindowProgressProvider>(instance_, shell.catalog().Text(24));
  MainWindowHooks hooks;
  AttachComponents(shell, hooks, progress.get());
  shell.TakeStoreHolder();

  int exit_code = 0;
  {
    MainWindow window(instance_, shell, std::move(hooks));
    if (window.Create(class_name, title, show_command)) {
      HACCEL accelerators =
          LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(resource_id::kAccelerators));
      exit_code = RunMessageLoop(window.hwnd(), accelerators);
    }
  }
  browse_.reset();
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
