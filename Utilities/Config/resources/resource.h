/* resource.h - ids shared by the resource script and the module's code. */
#ifndef KESTROVA_CONFIG_RESOURCE_H
#define KESTROVA_CONFIG_RESOURCE_H

/* Dialog templates */
#define IDD_SETTINGS 101
#define IDD_NETWORK 102

/* Settings dialog (101) */
#define IDC_CLOSE 1 /* IDOK: Enter closes the dialog through it */
#define IDC_AUTO_UPDATE 1000
#define IDC_RENDER_DRIVER 1001
#define IDC_DELETE_TEMP_FILES 1002
#define IDC_RESOLUTION 1003
#define IDC_USE_32BIT_COLOR 1004
#define IDC_INSTALLED_COMPONENTS 1007
#define IDC_IE_VERSION 1008
#define IDC_NETWORK_SETTINGS 1009
#define IDC_NETSCAPE_VERSION 1010
#define IDC_FORCE_SOFTWARE 1020
#define IDC_FORCE_HARDWARE 1021
#define IDC_PAGE_DECIDES 1022

/* Network settings dialog (102) */
#define IDC_PROXY_HOST 1010
#define IDC_PROXY_PORT 1011
#define IDC_PROXY_AUTH 1012
#define IDC_PROXY_TYPE 1015
#define IDC_PROXY_USERNAME 1016
#define IDC_PROXY_PASSWORD 1017
#define IDC_PROXY_OK 1018
#define IDC_PROXY_CANCEL 1019

#endif /* KESTROVA_CONFIG_RESOURCE_H */
