// The exact bytes of the OPML files the program creates: the empty channel list and the first
// favourites list. Both are UTF-8 and end every line with a line feed.
#ifndef KORVO_CHANNELS_OPML_TEMPLATES_H_
#define KORVO_CHANNELS_OPML_TEMPLATES_H_

#include <string>

namespace korvo {

// The empty `channel.opml` (indentation by tabs):
//   <?xml version="1.0" encoding="UTF-8"?>
//   <opml version="1.0">
//   	<head>
//   		<title>KorvoNewsReader ChannelList</title>
//   	</head>
//   	<body>
//   	</body>
//   </opml>
const std::string& EmptyChannelListText();

// The first `fav.opml`: the declaration, `opml`, `head` with the title
// "KorvoNewsReader-Favorite", `body` holding four favourites (a web search site and three feed
// directories) as empty `outline` elements with `text`, `htmlUrl` and `title`, written on one
// line as `<outline text = "..." htmlUrl = "..." title = "..."/>`, each preceded by a tab.
const std::string& InitialFavouritesText();

}  // namespace korvo

#endif  // KORVO_CHANNELS_OPML_TEMPLATES_H_
