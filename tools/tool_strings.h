#pragma once
// The tools' own texts.

#include "platform/rtl/resource_strings.h"

RESOURCESTRING(SToolTypeName, "Tool");

RESOURCESTRING(SAbsToolName, "Abs");
RESOURCESTRING(SAbsCaption, "Rectifier");
RESOURCESTRING(SAbsDescription, "1D Filter. Full-wave rectifier inverts negative half-wave of the signal to positive one");

// The catalogue of the tool registry: caption, registry name and description of
// every tool the registry knows, by key.

RESOURCESTRING(SBandFilterCaption, "Band Pass Filter");
RESOURCESTRING(SBandFilterToolName, "BandFilter");
RESOURCESTRING(SBandFilterDescription, "1D Filter. Suppresses frequencies of the signal spectrum above (LPF) / below (HPF) of specified frequency");
RESOURCESTRING(SBlurCaption, "Blur");
RESOURCESTRING(SBlurToolName, "Blur");
RESOURCESTRING(SBlurDescription, "2D Filter. It smoothes sharp edges of the profile (Reduces influence of high-frequency noise - \\\"sand\\\")");
RESOURCESTRING(SCompressorCaption, "Nonlinear Amplifier");
RESOURCESTRING(SCompressorToolName, "Compressor");
RESOURCESTRING(SCompressorDescription, "1D Filter. It compresses wide dynamic range of the signal amplifying weak signals and suppressing strong ones");
RESOURCESTRING(SCorelatorCaption, "Three-Point Correlator");
RESOURCESTRING(SCorelatorToolName, "Adaptive Filter");
RESOURCESTRING(SCorelatorDescription, "1D Filter. It provides cross-correlation of the signal with discrete function");
RESOURCESTRING(SComparatorCaption, "Comparator");
RESOURCESTRING(SComparatorToolName, "Comparator");
RESOURCESTRING(SComparatorDescription, "1D Filter. It replaces the signal amplitude to gray level if it is below of the predetermined threshold");
RESOURCESTRING(SFilterCaption, "LPF/HPF");
RESOURCESTRING(SFilterToolName, "Filter");
RESOURCESTRING(SFilterDescription, "1D Filter. Suppresses frequencies of the signal spectrum above (LPF) / below (HPF) of specified frequency");
RESOURCESTRING(SHilbertCaption, "Hilbert Filter");
RESOURCESTRING(SHilbertToolName, "HilbertTrans Filter");
RESOURCESTRING(SHilbertDescription, "1D Filter. It allocates instantaneous envelope of the signal by Hilbert transform");
RESOURCESTRING(SDQCaption, "DQ Filter");
RESOURCESTRING(SDQToolName, "DQTrans Filter");
RESOURCESTRING(SDQDescription, "1D Filter. It allocates instantaneous envelope of the signal by DQ transform");
RESOURCESTRING(SMigrationCaption, "Migration");
RESOURCESTRING(SMigrationToolName, "Migration");
RESOURCESTRING(SMigrationDescription, "2D Filter. Migration - restoration of the location and shape of local objects");
RESOURCESTRING(SNormalizationCaption, "Normalization");
RESOURCESTRING(SNormalizationToolName, "Normalization with window");
RESOURCESTRING(SNormalizationDescription, "2D Filter. Normalization traces amplitudes with window");
RESOURCESTRING(STVGCCaption, "Gain");
RESOURCESTRING(STVGCToolName, "TVGC");
RESOURCESTRING(STVGCDescription, "1D Filter. Adjustment of the gain in graphic mode");
RESOURCESTRING(SWaveleterCaption, "Wavelet Filter");
RESOURCESTRING(SWaveleterToolName, "Wavelet Filter");
RESOURCESTRING(SWaveleterDescription, "1D Filter. It provides cross-correlation of the signal with signal-like function suppressing low-frequency fluctuations and high-frequency noise");
RESOURCESTRING(SHorzWaveleterCaption, "Horz Wavelet Filter");
RESOURCESTRING(SHorzWaveleterToolName, "Horz Wavelet Filter");
RESOURCESTRING(SHorzWaveleterDescription, "1D Filter. It provides cross-correlation of the signal with signal-like function suppressing low-frequency fluctuations and high-frequency noise");
RESOURCESTRING(SWindowSubstrAverageCaption, "Windowed Background Removal");
RESOURCESTRING(SWindowSubstrAverageToolName, "Background Remover with Window");
RESOURCESTRING(SWindowSubstrAverageDescription, "1D Filter. Background removing with window");
RESOURCESTRING(SMigrationAdvCaption, "Migration");
RESOURCESTRING(SMigrationAdvToolName, "MigrationAdv");
RESOURCESTRING(SMigrationAdvDescription, "2D Filter. Migration - restoration of the location and shape of local objects");
RESOURCESTRING(SMedianCaption, "Median filter");
RESOURCESTRING(SMedianToolName, "Median");
RESOURCESTRING(SMedianDescription, "1D Filter. Median filter removes impulse noise");
RESOURCESTRING(SSearchObjectCaption, "SearchObject");
RESOURCESTRING(SSearchObjectToolName, "SearchObject");
RESOURCESTRING(SSearchObjectDescription, "2D Filter. SearchObject - restoration of the location and shape of local objects");
RESOURCESTRING(SRealViewCaption, "RealView");
RESOURCESTRING(SRealViewToolName, "RealView");
RESOURCESTRING(SRealViewDescription, "2D Filter. RealView - restoration of the location and shape of local objects");
RESOURCESTRING(SGridViewCaption, "GridView");
RESOURCESTRING(SGridViewToolName, "GridView");
RESOURCESTRING(SGridViewDescription, "2D Filter. GridView - restoration of the location and shape of local objects");
RESOURCESTRING(SGridTimeCaption, "GridTime");
RESOURCESTRING(SGridTimeToolName, "GridTime");
RESOURCESTRING(SGridTimeDescription, "2D Filter. GridTime - restoration of the location and shape of local objects");
RESOURCESTRING(SObjDetectCaption, "Object Detector");
RESOURCESTRING(SObjDetectToolName, "ObjDetect");
RESOURCESTRING(SObjDetectDescription, "1D Filter. Detect object to method \"shine points\"");
RESOURCESTRING(SGenTestCaption, "Generate Test");
RESOURCESTRING(SGenTestToolName, "GenTest");
RESOURCESTRING(SGenTestDescription, "1D Filter. Generate Test");
RESOURCESTRING(SSpectrumCaption, "Spectrum");
RESOURCESTRING(SSpectrumToolName, "Spectrum");
RESOURCESTRING(SSpectrumDescription, "1D Spectrum.");
RESOURCESTRING(SCalcTracesCaption, "Calc Traces");
RESOURCESTRING(SCalcTracesToolName, "CalcTraces");
RESOURCESTRING(SCalcTracesDescription, "2D Filter. Calc traces");
RESOURCESTRING(SLevelerCaption, "Leveler Filter");
RESOURCESTRING(SLevelerToolName, "Leveler Filter");
RESOURCESTRING(SLevelerDescription, "1D Filter. Leveler");

// The tool dialogs' common controls.
RESOURCESTRING(SToolApplyCaption, "Apply");
RESOURCESTRING(SToolOkCaption, "OK");
RESOURCESTRING(SToolAddCaption, "Add");
RESOURCESTRING(SToolYesCaption, "Yes");
RESOURCESTRING(SToolCancelCaption, "Cancel");
RESOURCESTRING(SToolRestoreCaption, "Restore");
