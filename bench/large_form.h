// A large binary form built like real ones (many controls with integer, identifier, set and
// string properties, string lists, collections and image data), shared by the form benchmarks.
#pragma once

#include <string>

#include "forms/form_stream.h"

namespace reshape::bench {

inline void WriteControl(FormWriter& w, int index) {
  std::string name = "Button" + std::to_string(index);
  w.WriteShortString("TButton");
  w.WriteShortString(name);
  const char* intProps[] = {"Left", "Top", "Width", "Height", "TabOrder"};
  for (int i = 0; i < 5; ++i) {
    w.WriteShortString(intProps[i]);
    w.WriteIntegerValue(index * (i + 3) % 70000);
  }
  w.WriteShortString("Caption");
  w.WriteStringValue("&Open the file " + name);
  w.WriteShortString("Hint");
  w.WriteStringValue("Opens the selected file in a new window; the previous one stays open. "
                     "Press Ctrl+O to do the same from anywhere in the program.");
  w.WriteShortString("Font.Color");
  w.WriteIdentValue("clWindowText");
  w.WriteShortString("Font.Style");
  w.WriteTag(TagSet);
  w.WriteShortString("fsBold");
  w.WriteShortString("fsUnderline");
  w.WriteShortString("");
  w.WriteShortString("Visible");
  w.WriteIdentValue("True");
  w.WriteShortString("OnClick");
  w.WriteIdentValue("Button" + std::to_string(index) + "Click");
  if (index % 4 == 0) {
    w.WriteShortString("Items.Strings");
    w.WriteListStart();
    for (int i = 0; i < 8; ++i) w.WriteStringValue("Item line number " + std::to_string(i));
    w.WriteEndMarker();
  }
  if (index % 8 == 0) {
    w.WriteShortString("Columns");
    w.WriteTag(TagCollection);
    for (int i = 0; i < 3; ++i) {
      w.WriteListStart();
      w.WriteShortString("Caption");
      w.WriteStringValue("Column " + std::to_string(i));
      w.WriteShortString("Width");
      w.WriteIntegerValue(120);
      w.WriteEndMarker();
    }
    w.WriteEndMarker();
  }
  if (index % 5 == 0) {
    w.WriteShortString("Glyph.Data");
    const std::size_t lengthAt = w.BeginBinary();
    for (std::size_t i = 0; i < 1270; ++i)
      w.WriteTag(static_cast<std::uint8_t>((i * 31 + static_cast<std::size_t>(index)) & 0xFF));
    w.EndBinary(lengthAt);
  }
  w.WriteEndMarker();
  w.WriteEndMarker();
}

inline std::string LargeForm() {
  std::string stream;
  {
    FormWriter w(stream);
    w.WriteFormSignature();
    w.WriteShortString("TMainForm");
    w.WriteShortString("MainForm");
    w.WriteShortString("Caption");
    w.WriteStringValue("Main");
    w.WriteEndMarker();
    for (int panel = 0; panel < 40; ++panel) {
      w.WriteShortString("TPanel");
      w.WriteShortString("Panel" + std::to_string(panel));
      w.WriteShortString("Align");
      w.WriteIdentValue("alTop");
      w.WriteEndMarker();
      for (int i = 0; i < 50; ++i) WriteControl(w, panel * 50 + i);
      w.WriteEndMarker();
    }
    w.WriteEndMarker();
  }
  return stream;
}

inline const std::string& Form() {
  static const std::string form = LargeForm();
  return form;
}

}  // namespace reshape::bench
