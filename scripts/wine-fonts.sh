# Sourced by the set-up and the test environment: maps the fonts the program names to
# the Debian font packages in the Wine prefix ($WINEPREFIX, run with $WINE).
# Wine's own fonts (Tahoma for "MS Shell Dlg", Marlett for the caption buttons) come
# from fonts-wine. Courier New, Arial and Times New Roman become the metric-compatible
# Liberation fonts (fonts-liberation); Chinese and Japanese characters that these lack
# are drawn from WenQuanYi Micro Hei (fonts-wqy-microhei) by Wine's font linking.
# Writes nothing when the prefix has it already.
map_wine_fonts() {
    [ -f "$WINEPREFIX/user.reg" ] || return 0
    grep -q '^"Courier New"="Liberation Mono"' "$WINEPREFIX/user.reg" 2>/dev/null &&
        grep -q '"Liberation Mono"=str(7):"wqy-microhei.ttc' "$WINEPREFIX/system.reg" 2>/dev/null &&
        return 0
    replacements='HKCU\Software\Wine\Fonts\Replacements'
    links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    for pair in "Courier New=Liberation Mono" "Arial=Liberation Sans" \
                "Times New Roman=Liberation Serif"; do
        $WINE reg add "$replacements" /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f >/dev/null 2>&1
    done
    for face in "Liberation Mono" "Courier New" "Liberation Sans" "Arial" \
                "Liberation Serif" "Times New Roman" "Tahoma"; do
        $WINE reg add "$links" /v "$face" /t REG_MULTI_SZ \
            /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
    done
    wineserver -w
}
