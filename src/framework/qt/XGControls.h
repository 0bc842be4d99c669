// The framework's controls, for the view factory.
#pragma once

#include "framework/qt/XGCheckBox.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGGroupBox.h"
#include "framework/qt/XGIconView.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGPopupMenu.h"
#include "framework/qt/XGPushButton.h"
#include "framework/qt/XGRadioButton.h"
#include "framework/qt/XGScrollView.h"
#include "framework/qt/XGSlider.h"
#include "framework/qt/XGStaticText.h"
