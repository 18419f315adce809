/* Identifiers of Wren81's resources: menus and their command numbers, dialog
   templates and their controls, pictures and the icon. Read both by the resource
   compiler (the .rc files beside it) and by the Windows layer of the program, so this file
   holds nothing but preprocessor definitions.

   Dialog templates and the two named menus are resources with string names, as
   the program has always called them: pass the macro straight to CreateDialogA,
   DialogBoxA or LoadMenuA (MAKEINTRESOURCE on them does not compile, which is
   intended). Everything else has a number. */
#ifndef WREN81_RESOURCE_H
#define WREN81_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* ---- Icon and pictures ---------------------------------------------------- */

#define IDI_WREN81 151          /* 16, 32 and 48 pixel icon of the program */
#define IDB_KEYBOARD 109        /* the ZX81 keyboard, 690 x 262 pixels */
#define IDB_ABOUT 209           /* background of the About box, 375 x 228 pixels */
#define IDB_FOLDER 210          /* 16 x 16 folder for the options' browse buttons, on the
                                   button colour of Windows 10 and 11 (240, 240, 240) */

#define KEYBOARD_PICTURE_WIDTH 690
#define KEYBOARD_PICTURE_HEIGHT 262
#define ABOUT_PICTURE_WIDTH 375
#define ABOUT_PICTURE_HEIGHT 228

/* ---- Main menu (menu 116) ------------------------------------------------- */

#define IDR_MAIN_MENU 116

/* File */
#define IDM_LOAD_FILE 100
#define IDM_SAVE_SNAPSHOT 101
#define IDM_SAVE_SCREENSHOT 112
#define IDM_QUIT 109
/* Emulation */
#define IDM_SOFT_RESET 133
#define IDM_HARD_RESET 134
#define IDM_GENERATE_NMI 142
#define IDM_VSYNC_SOUND 114
/* View */
#define IDM_SIZE_100 135
#define IDM_SIZE_200 136
#define IDM_FULL_SCREEN 137
#define IDM_NO_BORDER 143
#define IDM_MEDIUM_BORDER 144
#define IDM_FULL_BORDER 145
#define IDM_CUSTOM_BORDER 146
/* Tools */
#define IDM_OPTIONS 121
#define IDM_CALCULATOR 122
#define IDM_LOAD_CONFIGURATION 138
#define IDM_SAVE_CONFIGURATION 139
#define IDM_DEFAULT_CONFIGURATION 140
#define IDM_DISPLAY_KEYBOARD 141
#define IDM_KEYBOARD_HELPER 147
/* Debug */
#define IDM_DEBUGGER 125
#define IDM_VIEW_REGISTERS 130
#define IDM_VIEW_MEMORY 126
#define IDM_VIEW_DISASSEMBLY 127
#define IDM_PC_LOGGING 128
#define IDM_PC_LOG_ONE_FRAME 129
/* Help */
#define IDM_ABOUT 108
#define IDM_HELP 111

/* ---- Keyboard picture window ------------------------------------------------ */

#define WREN_KEYBOARD "WREN_KEYBOARD"
#define IDC_KEYBOARD_PICTURE 1100

/* ---- Keyboard helper window --------------------------------------------------
   Forty picture buttons in the order of the ZX81 keyboard, read row by row. */

#define WREN_KEYBOARDHELP "WREN_KEYBOARDHELP"

#define IDC_KEY_1 700
#define IDC_KEY_2 701
#define IDC_KEY_3 702
#define IDC_KEY_4 703
#define IDC_KEY_5 704
#define IDC_KEY_6 705
#define IDC_KEY_7 706
#define IDC_KEY_8 707
#define IDC_KEY_9 708
#define IDC_KEY_0 709
#define IDC_KEY_Q 710
#define IDC_KEY_W 711
#define IDC_KEY_E 712
#define IDC_KEY_R 713
#define IDC_KEY_T 714
#define IDC_KEY_Y 715
#define IDC_KEY_U 716
#define IDC_KEY_I 717
#define IDC_KEY_O 718
#define IDC_KEY_P 719
#define IDC_KEY_A 720
#define IDC_KEY_S 721
#define IDC_KEY_D 722
#define IDC_KEY_F 723
#define IDC_KEY_G 724
#define IDC_KEY_H 725
#define IDC_KEY_J 726
#define IDC_KEY_K 727
#define IDC_KEY_L 728
#define IDC_KEY_NEWLINE 729
#define IDC_KEY_SHIFT 730
#define IDC_KEY_Z 731
#define IDC_KEY_X 732
#define IDC_KEY_C 733
#define IDC_KEY_V 734
#define IDC_KEY_B 735
#define IDC_KEY_N 736
#define IDC_KEY_M 737
#define IDC_KEY_STOP 738
#define IDC_KEY_SPACE 739
#define IDC_KEY_FIRST IDC_KEY_1
#define IDC_KEY_LAST IDC_KEY_SPACE

/* One picture per key, each KEY_PICTURE_WIDTH x KEY_PICTURE_HEIGHT pixels. The
   picture of button b is bitmap b + 40, except that the first key's picture keeps
   the number 700 (the button's own), so the pictures are 700 and 741 to 779. */
#define KEY_PICTURE_WIDTH 64
#define KEY_PICTURE_HEIGHT 62
#define KEY_PICTURE_FOR_BUTTON(button) ((button) == IDC_KEY_1 ? IDB_BITMAP_1 : (button) + 40)

#define IDB_BITMAP_1 700
#define IDB_BITMAP_2 741
#define IDB_BITMAP_3 742
#define IDB_BITMAP_4 743
#define IDB_BITMAP_5 744
#define IDB_BITMAP_6 745
#define IDB_BITMAP_7 746
#define IDB_BITMAP_8 747
#define IDB_BITMAP_9 748
#define IDB_BITMAP_0 749
#define IDB_BITMAP_Q 750
#define IDB_BITMAP_W 751
#define IDB_BITMAP_E 752
#define IDB_BITMAP_R 753
#define IDB_BITMAP_T 754
#define IDB_BITMAP_Y 755
#define IDB_BITMAP_U 756
#define IDB_BITMAP_I 757
#define IDB_BITMAP_O 758
#define IDB_BITMAP_P 759
#define IDB_BITMAP_A 760
#define IDB_BITMAP_S 761
#define IDB_BITMAP_D 762
#define IDB_BITMAP_F 763
#define IDB_BITMAP_G 764
#define IDB_BITMAP_H 765
#define IDB_BITMAP_J 766
#define IDB_BITMAP_K 767
#define IDB_BITMAP_L 768
#define IDB_BITMAP_NL 769     /* NEWLINE */
#define IDB_BITMAP_SH 770     /* SHIFT */
#define IDB_BITMAP_Z 771
#define IDB_BITMAP_X 772
#define IDB_BITMAP_C 773
#define IDB_BITMAP_V 774
#define IDB_BITMAP_B 775
#define IDB_BITMAP_N 776
#define IDB_BITMAP_M 777
#define IDB_BITMAP_SS 778     /* full stop */
#define IDB_BITMAP_SP 779     /* SPACE */

/* ---- About box ------------------------------------------------------------------ */

#define WREN_ABOUT "WREN_ABOUT"
#define IDC_ABOUT_PICTURE 1110
#define IDC_ABOUT_TEXT 1111     /* "Version 0.020" and the credit line; OK is IDOK */

/* ---- Options property sheet: one template per page ------------------------------- */

#define OPT_EMULATION "OPT_EMULATION"
#define IDC_EXIT_MSG 2001       /* "Ask before leaving Wren81" */
#define IDC_AUTO_REWIND 2002    /* "Auto rewind tapes" */
#define IDC_FOCUS_ON 2003       /* "Pause emulation when Wren81 loses focus" */
#define IDC_SPEED_SLIDER 2004
#define IDC_SPEED_LABEL 2005

#define OPT_HARDWARE "OPT_HARDWARE"
#define IDC_MODEL_ZX81 2010     /* the seven model buttons run on: model = id - IDC_MODEL_ZX81 */
#define IDC_MODEL_2K 2011
#define IDC_MODEL_4K 2012
#define IDC_MODEL_8K 2013
#define IDC_MODEL_16K 2014
#define IDC_MODEL_32K 2015
#define IDC_MODEL_48K 2016
#define IDC_M1NOT 2017
#define IDC_AY_CARD 2018
#define IDC_HIRES_CARD 2019
#define IDC_CHR_GENERATOR 2020

#define OPT_DISPLAY "OPT_DISPLAY"
#define IDC_DRAW_GDI 2030
#define IDC_DRAW_DIRECTDRAW 2031
#define IDC_DRAW_DIRECT3D 2032
#define IDC_SCANLINES 2033
#define IDC_COLOURS 2034
#define IDC_BORDER_LEFT 2035
#define IDC_BORDER_RIGHT 2036
#define IDC_BORDER_TOP 2037
#define IDC_BORDER_BOTTOM 2038
#define IDC_FRAMESKIP 2039
#define IDC_HORIZONTAL_HOLD 2040
#define IDC_VERTICAL_HOLD 2041

#define OPT_SOUND "OPT_SOUND"
#define IDC_SOUND_ENABLED 2050
#define IDC_STEREO 2051
#define IDC_FREQUENCY 2052
#define IDC_BIT_DEPTH 2053
#define IDC_BUFFER_SLIDER 2054
#define IDC_BUFFER_LABEL 2055
#define IDC_VOLUME 2056

#define OPT_DEFAULTDIRS "OPT_DEFAULTDIRS"
#define IDC_SNAPSHOT_FOLDER 2060
#define IDC_SNAPSHOT_BROWSE 2061
#define IDC_TAPE_FOLDER 2062
#define IDC_TAPE_BROWSE 2063

#define OPT_DEBUGGER "OPT_DEBUGGER"
#define IDC_DIS_ROM 2070        /* "ROM Labels" */
#define IDC_DIS_SV 2071         /* "System Variables" */

/* ---- Debugger window and its menu -------------------------------------------------- */

#define WREN_DEBUGGER "WREN_DEBUGGER"
#define IDC_DEBUG_TABS 1200

#define DEBUG_MENU "DEBUG_MENU"
/* Tools */
#define IDM_DBG_DISASSEMBLE_TO_FILE 1009
#define IDM_DBG_BREAKPOINTS 1012
#define IDM_DBG_SYSTEM_VARIABLES 1017
#define IDM_DBG_RESTORE_ROM 1016
#define IDM_DBG_QUIT 1001
/* Run */
#define IDM_DBG_SINGLE_STEP 1030
#define IDM_DBG_STEP_OVER 1031
#define IDM_DBG_STEP_OUT 1033
/* Run, Run Until */
#define IDM_DBG_START_OF_FRAME 1036
#define IDM_DBG_END_OF_FRAME 1037
#define IDM_DBG_INTERRUPT 1038
#define IDM_DBG_SPECIFIED_TSTATE 1039
#define IDM_DBG_PORT_READ 40119
#define IDM_DBG_PORT_WRITE 40120
#define IDM_DBG_UNTIL_DI 40124
#define IDM_DBG_UNTIL_EI 40125
#define IDM_DBG_UNTIL_HALT 40126
#define IDM_DBG_UNTIL_IM1 40127
#define IDM_DBG_UNTIL_IM2 40128
#define IDM_DBG_UNTIL_LD_A_R 40129
#define IDM_DBG_UNTIL_LD_R_A 40130
/* Edit */
#define IDM_DBG_EDIT_MEMORY 1010
#define IDM_DBG_EDIT_ROM 1045
#define IDM_DBG_FIND 1046
#define IDM_DBG_COPY_MEMORY 1047
#define IDM_DBG_FILL_MEMORY 1048
#define IDM_DBG_PUSH_VALUE 1014
#define IDM_DBG_POP_VALUE 1015
#define IDM_DBG_ALTER_SP 1013

/* Tabs of the debugger window, each a child dialog */
#define DEBUG_STACK_INFO "DEBUG_STACK_INFO"
#define IDC_STACK_LIST 1210
#define DEBUG_HARDWARE_INFO "DEBUG_HARDWARE_INFO"
#define IDC_INFO_MACHINE 1220
#define IDC_INFO_FRAME 1221
#define IDC_INFO_SCANLINE 1222
#define IDC_INFO_FILE_NAME 1223
#define IDC_INFO_FILE_LENGTH 1224
#define DEBUG_PORT_INFO "DEBUG_PORT_INFO"
#define IDC_PORT_NMI 1230
#define IDC_PORT_HSYNC 1231
#define IDC_PORT_ROW_COUNTER 1232
#define IDC_PORT_SCANLINE 1233
#define IDC_PORT_SHIFT_REGISTER 1234

/* View Registers window and its menu */
#define DEBUG_VIEWREGS "DEBUG_VIEWREGS"
#define REG_MENU "REG_MENU"
#define IDM_REG_SINGLE_STEP 40107
#define IDM_REG_STEP_OVER 40108
#define IDM_REG_STEP_OUT 40109
#define IDM_REG_END_OF_FRAME 40111
#define IDM_REG_TSTATE 40112
#define IDM_REG_SYSTEM_VARIABLES 40002

/* View Disassembly window */
#define DEBUG_DISASM "DEBUG_DISASM"
#define IDC_DISASM_SCROLL 403

/* Breakpoints */
#define WREN_BREAKPOINTS "WREN_BREAKPOINTS"
#define IDC_BREAK_ADD 700
#define IDC_BREAK_DELETE 701
#define IDC_BREAK_UPDATE 1064
#define IDC_BREAK_LIST 703
#define DEBUG_BREAK_ADD "DEBUG_BREAK_ADD"
#define IDC_BREAK_ADDRESS 702
#define IDC_BREAK_KIND 704
#define IDC_BREAK_CONDITION 705

#define DEBUG_RUN_UNTIL_TSTATE "DEBUG_RUN_UNTIL_TSTATE"
#define IDC_TSTATE_VALUE 1021
#define DEBUG_RUN_UNTIL_PORT "DEBUG_RUN_UNTIL_PORT"
#define IDC_PORT_VALUE 1022

/* Memory views and editing */
#define DEBUG_VIEWMEMORY "DEBUG_VIEWMEMORY"
#define IDC_VIEWMEMORY_SCROLL 402
#define WREN_MEMORY "WREN_MEMORY"
#define IDC_MEMORY_SCROLL 400

#define DEBUG_FIND "DEBUG_FIND"
#define IDC_FIND_TEXT 1180
#define IDC_FIND_16BIT 1181
#define IDC_FIND_BYTES 1182
#define IDC_FIND_STRING 1183
#define IDC_FIND_NEXT 1184
#define IDC_FIND 1185

#define DEBUG_COPYMEMORY "DEBUG_COPYMEMORY"
#define IDC_COPY_SOURCE 810
#define IDC_COPY_DESTINATION 811
#define IDC_COPY_LENGTH 812

#define DEBUG_FILLMEMORY "DEBUG_FILLMEMORY"
#define IDC_FILL_START 813
#define IDC_FILL_LENGTH 814
#define IDC_FILL_DATA 815
#define IDC_FILL_8BIT 816
#define IDC_FILL_16BIT 817
#define IDC_FILL_TEXT 818

#define DEBUG_PUSH_STK "DEBUG_PUSH_STK"
#define IDC_PUSH_PAIR 1300
#define DEBUG_POP_STK "DEBUG_POP_STK"
#define IDC_POP_PAIR 1301

#define WREN_STKPOINTER "WREN_STKPOINTER"
#define IDC_NEW_SP 1018

/* System variables, disassembly to a file */
#define WREN_SYSVAR "WREN_SYSVAR"
#define IDC_SYSVAR_LIST 1240

#define WREN_DISFILE "WREN_DISFILE"
#define IDC_DIS_START 353
#define IDC_DIS_END 354
#define IDC_DIS_SHOW_HEX 600
#define IDC_DIS_ROM_CALLS 601
#define IDC_DIS_SYSTEM_VARIABLES 602
#define IDC_DIS_OK 250
#define IDC_DIS_CANCEL 251

/* ---- Calculator ------------------------------------------------------------------------ */

#define WREN_CALCULATOR "WREN_CALCULATOR"
#define IDC_CALC_0 50           /* digits 0 to 9 are 50 to 59, A to F 60 to 65 */
#define IDC_CALC_1 51
#define IDC_CALC_2 52
#define IDC_CALC_3 53
#define IDC_CALC_4 54
#define IDC_CALC_5 55
#define IDC_CALC_6 56
#define IDC_CALC_7 57
#define IDC_CALC_8 58
#define IDC_CALC_9 59
#define IDC_CALC_A 60
#define IDC_CALC_B 61
#define IDC_CALC_C 62
#define IDC_CALC_D 63
#define IDC_CALC_E 64
#define IDC_CALC_F 65
#define IDC_CALC_EQUALS 66
#define IDC_CALC_SUBTRACT 67
#define IDC_CALC_ADD 68
#define IDC_CALC_DIVIDE 69
#define IDC_CALC_MULTIPLY 70
#define IDC_CALC_OR 71
#define IDC_CALC_XOR 72
#define IDC_CALC_AND 73
#define IDC_CALC_NOT 74
#define IDC_CALC_RL 75
#define IDC_CALC_RR 76
#define IDC_CALC_RLC 77
#define IDC_CALC_RRC 78
#define IDC_CALC_SLA 79
#define IDC_CALC_SRA 80
#define IDC_CALC_SLL 81
#define IDC_CALC_SRL 82
#define IDC_CALC_BIN 83
#define IDC_CALC_DEC 84
#define IDC_CALC_HEX 85
#define IDC_CALC_BYTE 86
#define IDC_CALC_WORD 87
#define IDC_CALC_CARRY 88
#define IDC_CALC_PLUS_MINUS 89
#define IDC_CALC_SIGNED 90
#define IDC_CALC_STO 91
#define IDC_CALC_CA 92
#define IDC_CALC_CE 93
#define IDC_CALC_DISPLAY 94

#endif
