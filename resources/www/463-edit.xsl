<?xml version="1.0" encoding="utf-8"?>
<!-- One record to change on a phone: the fields the user may change as inputs (each sent on
     its own to "setcol" when it changes, named as the record form names it), the others as
     text. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="share.xsl"/>

  <xsl:template match="r" mode="title">
    <xsl:text>修改</xsl:text><xsl:value-of select="@itemtype"/><xsl:text>：</xsl:text><xsl:value-of select="item[1]/@name"/>
  </xsl:template>

  <xsl:template match="r" mode="body">
    <xsl:choose>
      <xsl:when test="@errid != '100'">
        <p class="error"><xsl:value-of select="@errmsg"/></p>
      </xsl:when>
      <xsl:when test="not(item)">
        <p class="error">找不到该<xsl:value-of select="@itemtype"/>，可能已被删除。</p>
      </xsl:when>
      <xsl:otherwise>
        <xsl:variable name="item" select="item[1]"/>
        <h1><xsl:value-of select="$item/@name"/></h1>
        <form class="form" id="editform" data-mduid="{@mduid}" data-query="{$item/@query}" onsubmit="return false">
          <xsl:for-each select="$item/col[@coldetail = '1' and @type != '6']">
            <div class="item">
              <label><xsl:value-of select="@name"/></label>
              <xsl:choose>
                <xsl:when test="@rw = '1' and option">
                  <select data-key="0_0_{@order}">
                    <xsl:variable name="current" select="@wildval"/>
                    <xsl:for-each select="option">
                      <option value="{@val}">
                        <xsl:if test="@val = $current"><xsl:attribute name="selected">selected</xsl:attribute></xsl:if>
                        <xsl:value-of select="."/>
                      </option>
                    </xsl:for-each>
                  </select>
                </xsl:when>
                <xsl:when test="@rw = '1' and @type = '3'">
                  <input type="date" data-key="0_0_{@order}" value="{@wildval}"/>
                </xsl:when>
                <xsl:when test="@rw = '1' and (@type = '1' or @type = '2')">
                  <input type="number" step="any" data-key="0_0_{@order}" value="{@wildval}"/>
                </xsl:when>
                <xsl:when test="@rw = '1' and @long = '1'">
                  <textarea data-key="0_0_{@order}"><xsl:value-of select="@wildval"/></textarea>
                </xsl:when>
                <xsl:when test="@rw = '1' and (@type = '10' or @type = '8')">
                  <input type="text" data-key="0_0_{@order}" value="{@wildval}"/>
                </xsl:when>
                <xsl:otherwise>
                  <div><xsl:value-of select="@dispval"/></div>
                </xsl:otherwise>
              </xsl:choose>
              <xsl:if test="@memo != ''"><div class="hint"><xsl:value-of select="@memo"/></div></xsl:if>
            </div>
          </xsl:for-each>
          <p class="hint" id="editstate"></p>
        </form>
        <form method="get" action="query">
          <input type="hidden" name="mduid" value="{@mduid}"/>
          <input type="hidden" name="one" value="1"/>
          <input type="hidden" name="xsl" value="detail"/>
          <input type="hidden" name="query" value="{$item/@query}"/>
          <button class="button block" type="submit">完成</button>
        </form>
        <script>
          (function () {
            var form = document.getElementById('editform');
            var state = document.getElementById('editstate');
            var fields = form.querySelectorAll('[data-key]');
            for (var i = 0; i &lt; fields.length; i++) {
              fields[i].addEventListener('change', function (e) {
                var f = e.target;
                var url = 'setcol?mduid=' + encodeURIComponent(form.getAttribute('data-mduid')) +
                          '&amp;query=' + encodeURIComponent(form.getAttribute('data-query')) +
                          '&amp;key=' + encodeURIComponent(f.getAttribute('data-key'));
                var req = new XMLHttpRequest();
                req.open('POST', url);
                req.onload = function () {
                  var r = req.responseXML ? req.responseXML.documentElement : null;
                  if (req.status !== 200 || !r) { state.className = 'error'; state.textContent = '保存失败'; return; }
                  var ok = r.getAttribute('errid') === '100';
                  state.className = ok ? 'hint' : 'error';
                  state.textContent = ok ? '已保存' : r.getAttribute('errmsg');
                };
                req.send(f.value);
              });
            }
          })();
        </script>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>
</xsl:stylesheet>
