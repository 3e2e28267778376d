#pragma once
// Resource numbers of the program's executable.

#define KV_ICON_APP 1
#define KV_DATA_ICON_ARMED 101
#define KV_DATA_ICON_RUNNING 102
#define KV_DATA_ICON_RECORDING 103
