#pragma once
// One fuzz input through a radargram window's chain-file readers, shared by the
// libFuzzer target and the junk-input test of the normal suite.
//
// Input: byte 0 picks the reader (even: the single-channel "TOOLS"/"TLS_3"/
// "TLS3U" reader, odd: the multi-channel "BTLS5U" reader); the rest is the
// file's bytes. The harness writes them to a chain file in a scratch folder,
// empties the window's chain and opens the file into it, with an "OK" ready for
// the warning a damaged file brings. It checks that nothing was thrown, that at
// most one warning was shown, that no more tools were added than the file has
// room for records, and that the chain is marked saved.

#include "platform/ui/dialog_script.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/tree_view.h"
#include "radargram/view2d_form.h"
#include "tests/fuzz/fuzz_scratch_folder.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace window_chain_fuzz {

// The smallest record: its end offset and the length byte of its name.
constexpr int64_t kSmallestRecord = 5;

inline std::string OpenChainOnce(TView2DForm& window, const uint8_t* data, size_t size) {
  if (size == 0) return {};
  const bool channels = (data[0] % 2) != 0;
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  const QString path = FuzzScratchFolder().path() + (channels ? QStringLiteral("/chain.btls") : QStringLiteral("/chain.tls"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return "the scratch file cannot be written";
    if (file.write(bytes) != bytes.size()) return "the scratch file cannot be written";
  }
  window.ClearSetOfTools();
  window.TlsNeedForSave = true;
  TDialogScript::Reset();
  TDialogScript::QueueAnswer(mrOk);
  try {
    if (channels) window.OpenToolsFrn(path);
    else window.OpenTools(path);
  } catch (const std::exception& e) {
    TDialogScript::Reset();
    return std::string("the reader threw: ") + e.what();
  }
  const size_t shown = TDialogScript::Shown().size();
  TDialogScript::Reset();
  if (shown > 1) return "more than one warning for one file";
  const int64_t nodes = window.ToolsTreeView->Items()->TopCount();
  if (nodes * kSmallestRecord > static_cast<int64_t>(bytes.size())) return "more tools than the file has records";
  if (window.TlsNeedForSave) return "the chain read is marked unsaved";
  return {};
}

}  // namespace window_chain_fuzz
