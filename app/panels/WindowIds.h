#pragma once
// Every fixed window ID of the viewer. Handlers and tests find controls by
// these IDs (wxWindow::FindWindow), so each control is created with its ID.

namespace lumetra::ids {

enum : int {
  // Frame layout
  MainSplitter = 10000,   // left pane | right pane
  LeftSplitter = 10001,   // model tree above the notebook
  Canvas = 10019,
  ModelTree = 10025,
  LeftNotebook = 10089,   // pages "Metrics", "Areas"

  // View-control strip above the canvas
  ZoomToFit = 10002,
  ResetZoom = 10003,
  ZoomIn = 10004,
  ZoomOut = 10005,
  ResetCamera = 10006,
  RefreshCanvas = 10007,  // no control carries it
  Perspective = 10008,
  Stereo = 10009,
  SplitVertically = 10012,
  SplitHorizontally = 10013,
  DeleteWindow = 10014,
  ModelLabel = 10015,
  MetricsAreasLabel = 10016,  // the "Metrics" and the "Areas" text share it
  ModelTransparency = 10017,
  MetricsTransparency = 10018,
  AreasTransparency = 11018,

  // "Metrics" page
  LayoutPreview = 10026,
  LayoutZoomLabel = 10030,
  LayoutZoom = 10031,
  LayoutHPanLabel = 10032,
  LayoutHPan = 10033,
  LayoutVPanLabel = 10034,
  LayoutVPan = 10035,
  MetricList = 10036,
  MetricVisualizer = 10037,
  LayoutReset = 10038,
  MetricTransparencyLabel = 10039,
  UpperThresholdLabel = 10040,
  LowerThresholdLabel = 10041,
  MetricTransparency = 10042,
  UpperThreshold = 10043,
  LowerThreshold = 10044,

  // "Areas" page
  AreaDrawing = 10088,        // "Area", "Contour"
  AreaList = 10091,
  AreaSoftness = 10092,
  AreaSoftnessLabel = 10093,
  AreaPriority = 10094,       // "&Use area value as a priority"
  EraserSoftness = 10095,
  InnerRadius = 10096,
  AreaVisualizer = 10097,     // "Inner", "Outer", "Square"
  AreaOptionsNotebook = 10098,  // pages "Visualizer", "Drawing"
  OuterIterations = 10101,
  OuterDistance = 10102,
  OuterMethod = 10103,        // "Polygons", "Splatting", "Line"

  // About dialog
  AboutPicture = 10020,
  AboutText = 10021,
  AboutOk = 10022,

  // Menus
  OpenModel = 10070,
  OpenMetrics = 10071,
  ReloadMetrics = 10072,  // "Reload metrics\tF5": the metrics files read again
  LoadConfiguration = 10073,
  SaveConfiguration = 10074,
  ExportImage = 10075,
  CloseModel = 10076,
  Exit = 10077,
  SaveDiagram = 10078,  // "&Save diagram...\tCtrl-S", as the toolbar's "Save diagram"
  About = 10079,
  // "&View": the painter's display switches and the legend (app/ViewMenu.h)
  ViewAssociations = 10120,
  ViewGeneralizations = 10121,
  ViewDependencies = 10122,
  ViewAttributes = 10123,
  ViewMethods = 10124,
  ViewElementNames = 10125,
  ViewRelationNames = 10126,
  ViewShadows = 10127,
  ViewLegend = 10128,
  FindClass = 10129,  // "&Find class...\tCtrl-F"
  ViewComments = 10130,  // a display switch, after the range above
  ArrangeDiagram = 10150,  // "&Arrange diagram": the shown diagram laid out afresh
  ViewTypesAndVisibility = 10140,  // a display switch
  ResetLayout = 10141,  // "&Edit": the shown diagram as its file has it
  ImportCpp = 10143,     // "Import C++ project...": a compile_commands.json as a model

  // Toolbar (forwarded to the menu commands)
  ToolOpenModel = 10080,
  ToolOpenMetrics = 10081,
  ToolLoadConfiguration = 10082,
  ToolSaveDiagram = 10083,
  ToolExportImage = 10084,
  ToolUnused1 = 10085,
  ToolUnused2 = 10086,
};

}  // namespace lumetra::ids
