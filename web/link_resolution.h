// Which URL delivers a published download: the URL itself when it answers with something
// file-sized, else the target of the meta refresh on the page it answers with.
#pragma once

#include <string_view>

#include "base/wide_text.h"
#include "web/download_job.h"

namespace pyr {

// Below this a published download is taken for a page that forwards to the file.
inline constexpr uint64_t kSmallestDirectDownload = 10240;
// At most this much of a forwarding page is read.
inline constexpr uint64_t kForwardingPageLimit = 51200;

// True when the page forwards with a meta refresh to an address the program may follow: http,
// https or ftp, and only https from a page fetched over https. The link holds the page URL
// whenever nothing better was found.
bool ResolveMetaRefresh(const WideText& page, const WideText& pageUrl, WideText* link);

// Starts the file transfer of the resolved link into localPath (skipped when the local file
// already has the remote size), with extraFlags added to the transfer's flags; null when nothing
// was started, also when keepWaiting reported a cancel during the size probe. With a signer, only
// a file it signed replaces the local one.
DownloadJobPtr ResolveAndStartDownload(DownloadTransport& transport, const WideText& localPath,
                                       const WideText& downloadUrl, uint32_t extraFlags = 0,
                                       const KeepWaiting& keepWaiting = {}, const SignaturePolicy* signer = nullptr);

}  // namespace pyr
