// The UrlList conversion and the OPML import over real HTTP, against the in-process test server.
#include <gtest/gtest.h>

#include <string>

#include "channels/channel_list_loader.h"
#include "channels/opml_transfer.h"
#include "channels/scripted_dialogs.h"
#include "common/http_test_server.h"
#include "common/temp_folder.h"
#include "platform/files.h"

namespace korvo {
namespace {

using korvo::testing::HttpTestRequest;
using korvo::testing::HttpTestResponse;
using korvo::testing::HttpTestServer;
using korvo::testing::ScriptedDialogs;
using korvo::testing::TempFolder;

TEST(ChannelListDownloadTest, ConvertsAndImportsOverHttp) {
  HttpTestServer server([](const HttpTestRequest& r) {
    if (r.path == "/feed.xml") {
      return HttpTestResponse::Text(
          "<?xml version=\"1.0\"?><rss><channel><title>Served</title>"
          "<link>http://served/</link></channel></rss>",
          "application/rss+xml");
    }
    if (r.path == "/list.opml") {
      return HttpTestResponse::Text(
          "<opml><body><outline text=\"Imported\" xmlUrl=\"http://imported/\"/></body></opml>",
          "text/x-opml");
    }
    return HttpTestResponse::Status(404);
  });
  ASSERT_TRUE(server.Start());

  TempFolder folder;
  ASSERT_TRUE(platform::WriteWholeFile(
      folder / kUrlListFile, server.Url("/feed.xml") + "\n" + server.Url("/missing.xml") + "\n"));
  FetchContext context;
  context.working_folder = folder.path();
  ChannelListLoadOptions options;
  options.download = WebSourceDownload(context);
  ChannelList list;
  ASSERT_EQ(LoadChannelList(folder.path(), options, &list), 0);
  std::vector<Channel> channels = BuildUpdateList(list);
  ASSERT_EQ(channels.size(), 1u);  // the error page has no channel
  EXPECT_EQ(channels[0].url, server.Url("/feed.xml"));
  EXPECT_EQ(channels[0].title, "Served");
  EXPECT_EQ(channels[0].siteUrl, "http://served/");

  ScriptedDialogs dialogs;
  ImportRequest request;
  request.source = server.Url("/list.opml");
  request.download = options.download;
  request.working_folder = folder.path();
  ASSERT_EQ(ImportOpml(list, request, dialogs), 0);
  EXPECT_FALSE(platform::FileExists(folder / kTempDownloadFile));
  channels = BuildUpdateList(list);
  ASSERT_EQ(channels.size(), 2u);
  EXPECT_EQ(channels[1].url, "http://imported/");

  request.source = server.Url("/missing.opml");  // an error page has no body element
  EXPECT_EQ(ImportOpml(list, request, dialogs), -1);
  const std::string never_fetched = server.Url("/other.opml");
  server.Stop();
  // Nobody answers. (An address fetched before could come from WinINet's URL cache.)
  request.source = never_fetched;
  EXPECT_EQ(ImportOpml(list, request, dialogs), -1);
  EXPECT_EQ(BuildUpdateList(list).size(), 2u);
}

}  // namespace
}  // namespace korvo
