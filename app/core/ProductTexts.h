#pragma once

// Names and addresses of the product, in one place.
namespace Product {
inline constexpr char kName[] = "Orvanta Software";
inline constexpr char kSettingsApplication[] = "Halvecore";
inline constexpr char kWebSite[] = "https://www.orvanta.example/";
inline constexpr char kContactPage[] = "https://www.orvanta.example/contact/";
inline constexpr char kSupportEmail[] = "support@orvanta.example";
}  // namespace Product

// The fixed text that names a routine in the error box.
namespace LocationTag {
inline constexpr char kFormLoad[] = "in Brellin2021/08/31.Form1.Form_Load ";
inline constexpr char kHelp[] = "in Brellin2021/08/31.Form1.PushButton7_Click ";
inline constexpr char kAddFolder[] = "in Brellin2021/08/31.Form1.PushButton3_Click ";
inline constexpr char kClearFolders[] = "in Brellin2021/08/31.Form1.PushButton9_Click ";
inline constexpr char kSampleFolders[] = "in Brellin2021/08/31.Form1.PushButton8_Click ";
inline constexpr char kSearch[] = "in Brellin2021/08/31.Form1.PushButton1_Click ";
inline constexpr char kSubDirectories[] = "in Pennard2021/08/31.AddFolder.GetSubDirectories2016 ";
inline constexpr char kSave[] = "in Brellin2021/08/31.Form1.PushButton2_Click ";
inline constexpr char kSaveListview[] = "in Brellin2021/08/31.Main.SaveListviewProperlySpaced ";
inline constexpr char kCopy[] = "in Brellin2021/08/31.Form1.PushButton4_Click ";
inline constexpr char kRecycle[] = "in Brellin2021/08/31.Form1.PushButton5_Click ";
inline constexpr char kRemoveChecked[] = "in Brellin2021/08/31.RecycleBin.RemoveCheckedItemsFromListview ";
inline constexpr char kMove[] = "in Brellin2021/08/31.Form1.PushButton11_Click ";
inline constexpr char kClearResults[] = "in Brellin2021/08/31.Form1.PushButton6_Click ";
inline constexpr char kExportCsv[] = "in Brellin2021/08/31.Form1.ExportResultsAsCsv ";
inline constexpr char kExportListview[] = "in Brellin2021/08/31.Main.ExportListviewAsCsv ";
inline constexpr char kUndoLastMove[] = "in Brellin2021/08/31.Form1.UndoLastMove ";
inline constexpr char kRestoreLastTrashed[] = "in Brellin2021/08/31.Form1.RestoreLastTrashed ";
}  // namespace LocationTag
