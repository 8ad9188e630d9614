#include "tools/imaging/channel_chart_picture.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/chart.h"
#include "platform/ui/panels.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "tools/common_tool.h"
#include "tools/tool_host.h"

#include <algorithm>

RESOURCESTRING(SChannelChartSimples, "Simples");

const T2Dview* ShowChannelOnChart(TCommonTool& tool, int indx, TPanel& panel, TChart& chart,
                                  TLineSeries& seriesNull) {
  const T2Dview* view = tool.GetViewByIndx(indx);
  if (!view || !view->Settings()) return nullptr;
  const int32_t longTrace = view->Settings()->GetLongTrace();
  TToolChannelPicture picture;
  picture.Bitmap = chart.BackImage();
  chart.ClearBackImage();
  const bool copied = tool.Host().ChannelPicture(indx, picture);
  double first = static_cast<double>(view->MinNumTraces());
  double last = static_cast<double>(std::max(view->MaxNumTraces(), view->MinNumTraces() + 1));
  if (copied) {
    panel.SetBounds(0, 0, std::max(picture.PanelWidth, 1), longTrace + 38);
    chart.SetBounds(0, 0, std::max(picture.PanelWidth, 1), longTrace + 38);
    if (picture.TopMaximum > picture.TopMinimum) {
      first = picture.TopMinimum;
      last = picture.TopMaximum;
    }
  }
  chart.SetColor(clBtnFace);
  chart.LeftAxis()->SetMinMax(0, longTrace);
  chart.LeftAxis()->SetTitle(LoadResString(SChannelChartSimples));
  chart.TopAxis()->SetMinMax(first, last);
  chart.TopAxis()->SetVisible(true);
  seriesNull.Clear();
  const int32_t z = view->Settings()->GetNullShift();
  seriesNull.AddXY(first, z);
  seriesNull.AddXY(last, z);
  chart.Invalidate();
  return view;
}
